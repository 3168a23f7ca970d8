// Commands of the command-line client. They arrive as sent messages, so they can reach the hidden
// window inside a nested loop: they are carried out only where a hotkey would be.
#include <utility>

#include "app/virtual_desk_app.h"
#include "commands/command_messages.h"
#include "shell/desktop_menu.h"

namespace {

// Every answer is UTF-8: texts of the program's own are converted where they are put in.
Reply Refusal(const std::string& why) {
  return Reply{kExitRefused, why + "\n"};
}

}  // namespace

std::intptr_t CVirtualDeskApp::OnCopyData(WindowId sender, const CopyData& copy) {
  // With no window to answer to, the request is not taken at all.
  if (copy.tag != kRequestTag || sender == 0) return kRequestNotTaken;
  // Inside an operation's wait nothing else may start, and what was kept meanwhile goes first; a
  // sent message cannot be kept for later, so the client asks again.
  if (InOperation() || !deferred_.empty()) return kRequestBusy;
  Command command;
  std::string why;
  Reply reply;
  const bool valid = DecodeRequest(copy.data, copy.size, &command, &why);
  if (!valid) {
    reply = Refusal(p_.process.ToUtf8(why));
  } else if (UserInterfaceOpen()) {
    reply = Refusal("a dialog, message box or menu of veilswitcher is open");
  } else {
    TakeQueuedHotkeys();
    reply = RunCommand(command);
  }
  p_.host.SendData(sender, kReplyTag, EncodeReply(reply));
  if (valid && reply.code == kExitDone) RunAfterAnswer(command);
  return kRequestAnswered;
}

// A switch and the end are certain once their target is known; the client has its answer before
// the windows move and the notice waits its half second.
void CVirtualDeskApp::RunAfterAnswer(const Command& command) {
  DesktopNumber target = 0;
  std::string why;
  if (command.verb == CommandVerb::kSwitch && command.target == TargetKind::kLast) {
    SwitchToLastDesktop();
  } else if (command.verb == CommandVerb::kSwitch && FindTarget(command, &target, &why)) {
    SwitchToDesktop(target);
  } else if (command.verb == CommandVerb::kExit) {
    OnCommand(kCmdExit);  // as the tray menu's Exit
  }
}

// A request is a sent message and overtakes what is queued: the keys pressed before it come first,
// as they would have had it been a key itself.
void CVirtualDeskApp::TakeQueuedHotkeys() {
  std::uint32_t lParam = 0;
  while (p_.host.TakeQueuedHotkey(&lParam)) MatchHotkey(lParam);
}

Reply CVirtualDeskApp::RunCommand(const Command& command) {
  switch (command.verb) {
    case CommandVerb::kSwitch:
      return SwitchCommand(command);
    case CommandVerb::kList:
      return Reply{kExitDone, FormatListJson(ListDesktops(), [this](const std::string& text) {
                     return p_.process.ToUtf8(text);
                   })};
    case CommandVerb::kHelp:
      return Reply{kExitDone, kUsageText};
    case CommandVerb::kSend:
      return SendCommand(command);
    case CommandVerb::kPin:
      if (TogglePinForeground()) return Reply{kExitDone, ""};
      return Refusal("the foreground window cannot be pinned");
    case CommandVerb::kExit:
      return Reply{kExitDone, ""};
  }
  return Refusal("unknown command");
}

Reply CVirtualDeskApp::SendCommand(const Command& command) {
  DesktopNumber target = 0;
  std::string why;
  if (!FindTarget(command, &target, &why)) return Refusal(why);
  if (SendForegroundWindow(target, command.follow)) return Reply{kExitDone, ""};
  return Refusal("nothing to send to desktop " + std::to_string(target));
}

// Only finds the target: the switch itself comes after the answer.
Reply CVirtualDeskApp::SwitchCommand(const Command& command) {
  DesktopNumber target = 0;
  std::string why;
  if (!FindTarget(command, &target, &why)) return Refusal(why);
  return Reply{kExitDone, ""};
}

bool CVirtualDeskApp::FindTarget(const Command& command, DesktopNumber* target,
                                 std::string* why) const {
  const int count = static_cast<int>(table_.Count());
  switch (command.target) {
    case TargetKind::kNext:
      *target = NeighbourDesktop(1);
      *why = "no next desktop";
      break;
    case TargetKind::kPrev:
      *target = NeighbourDesktop(-1);
      *why = "no previous desktop";
      break;
    case TargetKind::kLast:
      *target = LastDesktop();
      *why = "no last desktop";
      break;
    case TargetKind::kNumber:
      *target = command.number >= 1 && command.number <= count
                    ? static_cast<DesktopNumber>(command.number)
                    : 0;
      *why = "no desktop " + std::to_string(command.number);
      break;
    default:
      *target = DesktopCalled(command.name);
      *why = "no desktop named " + p_.process.ToUtf8(command.name);
  }
  return *target != 0;
}

// Names are matched by the rule that keeps them apart in the table: the registry's.
DesktopNumber CVirtualDeskApp::DesktopCalled(const std::string& name) const {
  for (const auto& [number, desk] : table_) {
    if (p_.store.SameValueName(desk.name, name)) return number;
  }
  return 0;
}

// The current desktop's windows are those a switch would capture now; every list top first.
DesktopListing CVirtualDeskApp::ListDesktops() {
  DesktopListing listing;
  listing.current = current_;
  for (const auto& [number, desk] : table_) {
    ListedDesktop listed{number, desk.name, desk.hotkey, {}};
    if (number == current_) {
      DesktopInfo visible;
      CollectWindows(visible);
      for (const WindowEntry& entry : visible.windows) listed.windows.push_back(entry.title);
    } else {  // kept bottom first, so that showing them restores their stacking
      for (auto entry = desk.windows.rbegin(); entry != desk.windows.rend(); ++entry)
        listed.windows.push_back(entry->title);
    }
    listing.desktops.push_back(std::move(listed));
  }
  return listing;
}
