// Commands of the command-line client. They arrive as sent messages, so they can reach the hidden
// window inside a nested loop: they are carried out only where a hotkey would be.
#include <algorithm>
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
  if (copy.tag != kRequestTag || sender == 0 || shutDown_) return kRequestNotTaken;
  // Inside an operation's wait nothing else may start, and what was kept meanwhile goes first; a
  // sent message cannot be kept for later, so the client asks again.
  if (InOperation() || !deferred_.empty()) return kRequestBusy;
  Command command;
  std::string why;
  if (!DecodeRequest(copy.data, copy.size, &command, &why))
    return Answer(sender, Refusal(p_.process.ToUtf8(why)));
  if (UserInterfaceOpen())
    return Answer(sender, Refusal("a dialog, message box or menu of veilswitcher is open"));
  // The keys pressed before the request come first, as they would have had it been a key itself;
  // they take their time, so the command waits for the client's next asking: a client that has
  // given up meanwhile asks no more, and nothing is done that it was told had failed. Looking for
  // them lets sent messages in, so it is part of the operation: what arrives then waits its turn.
  bool exit = false;
  bool keysFirst = false;
  RunOperation([&] {
    keysFirst = TakeQueuedHotkeys();
    if (keysFirst) return;
    // Taken: the client goes on waiting for the answer in its own loop, for as long as the
    // command waits on other programs, rather than against a deadline of its send.
    p_.host.ReleaseSender(kRequestAccepted);
    exit = CarryOut(sender, command);
  });
  if (keysFirst) return kRequestBusy;
  if (exit) OnCommand(kCmdExit);  // as the tray menu's Exit
  return kRequestAccepted;
}

// The answer goes out as soon as what it reports is certain, and the client ends at once;
// what follows from it (a switch, the end) comes after, and only once the client has the answer.
// What arrives meanwhile waits for the end of the whole command. True when the program is to end.
bool CVirtualDeskApp::CarryOut(WindowId sender, const Command& command) {
  DesktopNumber then = 0;
  const Reply reply = RunCommand(command, &then);
  const bool delivered = Answer(sender, reply) == kRequestAnswered;
  if (!delivered || reply.code != kExitDone) return false;
  if (command.verb == CommandVerb::kWatch) watchers_.push_back(sender);
  if (then != 0) SwitchToDesktop(then);
  return command.verb == CommandVerb::kExit;
}

// A refusal is answered before the request returns; once a command has been accepted, the
// release here no longer reaches its client.
std::intptr_t CVirtualDeskApp::Answer(WindowId sender, const Reply& reply) {
  const bool delivered = p_.host.SendData(sender, kReplyTag, EncodeReply(reply));
  p_.host.ReleaseSender(kRequestAnswered);
  return delivered ? kRequestAnswered : kRequestNotTaken;
}

// Inside an operation, so each key is kept and matched in order once the operation ends.
bool CVirtualDeskApp::TakeQueuedHotkeys() {
  bool taken = false;
  std::uint32_t lParam = 0;
  while (p_.host.TakeQueuedHotkey(&lParam)) {
    MatchHotkey(lParam);
    taken = true;
  }
  return taken;
}

// `then`: the desktop to switch to once the client has its answer.
Reply CVirtualDeskApp::RunCommand(const Command& command, DesktopNumber* then) {
  switch (command.verb) {
    case CommandVerb::kSwitch:
      return SwitchCommand(command, then);
    case CommandVerb::kList:
      return Reply{kExitDone, FormatListJson(ListDesktops(), [this](const std::string& text) {
                     return p_.process.ToUtf8(text);
                   })};
    case CommandVerb::kHelp:
      return Reply{kExitDone, kUsageText};
    case CommandVerb::kVersion:  // the client answers it itself; a raw request gets the same
      return Reply{kExitDone, kVersionText};
    case CommandVerb::kSend:
      return SendCommand(command, then);
    case CommandVerb::kPin:
      if (command.byWindow ? TogglePinOf(command.window) : TogglePinForeground())
        return Reply{kExitDone, ""};
      return Refusal(command.byWindow
                         ? "window " + std::to_string(command.window) + " cannot be pinned"
                         : "the foreground window cannot be pinned");
    case CommandVerb::kExit:
      return Reply{kExitDone, ""};
    case CommandVerb::kGather:
      GatherWindows();
      return Reply{kExitDone, ""};
    case CommandVerb::kWatch:
      return Reply{kExitDone, LineNow("state", DesktopNames())};
    case CommandVerb::kApply:
      return ApplyRulesCommand(then);
  }
  return Refusal("unknown command");
}

// The send is done before the answer; with /follow the view goes along after it.
Reply CVirtualDeskApp::SendCommand(const Command& command, DesktopNumber* then) {
  DesktopNumber target = 0;
  std::string why;
  if (!FindTarget(command, &target, &why)) return Refusal(why);
  const bool sent = command.byWindow ? SendWindowAround(command.window, target, false)
                                     : SendForegroundWindow(target, false);
  if (!sent) return Refusal("nothing to send to desktop " + std::to_string(target));
  if (command.follow) *then = target;
  return Reply{kExitDone, ""};
}

// A switch is certain once its target is known.
Reply CVirtualDeskApp::SwitchCommand(const Command& command, DesktopNumber* then) {
  std::string why;
  if (!FindTarget(command, then, &why)) return Refusal(why);
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
      for (const WindowEntry& entry : visible.windows)
        listed.windows.push_back(Described(entry.window, entry.title));
    } else {  // kept bottom first, so that showing them restores their stacking
      for (auto entry = desk.windows.rbegin(); entry != desk.windows.rend(); ++entry)
        listed.windows.push_back(Described(entry->window, entry->title));
    }
    listing.desktops.push_back(std::move(listed));
  }
  pins_.Prune(p_.windows);
  for (WindowId w : pins_.Windows())
    listing.pinned.push_back(Described(w, p_.windows.ReadTitle(w, p_.windows.TitleLength(w) + 1)));
  return listing;
}

// A class name is the program's 8-bit text; titles and program names are UTF-8 already.
ListedWindow CVirtualDeskApp::Described(WindowId w, const std::string& title) {
  return ListedWindow{w, title, p_.windows.ProgramOf(w), p_.windows.ProcessOf(w),
                      p_.process.ToUtf8(p_.windows.ClassOf(w))};
}

std::string CVirtualDeskApp::LineNow(const char* event, const std::string& more) {
  const char* name = GetDesktopName(current_);
  return WatchLine(event, current_, p_.process.ToUtf8(name ? name : ""), more);
}

void CVirtualDeskApp::Tell(const char* event, const std::string& more) {
  if (watchers_.empty()) return;
  const std::string line = LineNow(event, more);
  watchers_.erase(std::remove_if(watchers_.begin(), watchers_.end(),
                                 [&](WindowId w) { return !p_.host.Notify(w, kEventTag, line); }),
                  watchers_.end());
}

std::string CVirtualDeskApp::DesktopNames() {
  std::vector<std::string> names;
  for (const auto& entry : table_) names.push_back(p_.process.ToUtf8(entry.second.name));
  return DesktopNamesMember(names);
}
