#include "commands/command_line.h"

#include <cstddef>
#include <cstring>

#include "desktops/desktop_table.h"

const char* const kUsageText =
    "usage: veilswitcher.exe [command]\n"
    "  /switch N|next|prev|last|NAME   switch to desktop N (1-based), the next or previous one,\n"
    "                                  the last one that was current, or the desktop of that "
    "name\n"
    "  /send N|next|prev|NAME [/follow]  send the foreground window to that desktop; the view\n"
    "                                  goes along only with /follow\n"
    "  /pin     toggle the pin of the foreground window (pinned windows stay on every desktop)\n"
    "  /send and /pin with /window HANDLE (decimal or 0x hex, as /list gives it) act on that\n"
    "           window and the windows it owns instead of the foreground window\n"
    "  /apply   apply the window rules to the windows on the current desktop, as if each had\n"
    "           just opened; prints how many were moved and pinned\n"
    "  /list    print the desktops, which one is current, and their windows and the pinned ones\n"
    "           (JSON: handle, title, program, process id and class of each window)\n"
    "  /gather  show every window hidden on any desktop here: it belongs to this desktop now\n"
    "  /watch   print the current desktop, then a line (JSON) for every switch, send, pin and\n"
    "           change of the desktops, until the running copy ends\n"
    "  /exit    end the running copy (every window shown, settings saved)\n"
    "  /version print the version\n"
    "  /help    print this usage (-h, --help and /? too)\n"
    "-x and --x work as /x. Unless the first argument begins with / or -, the program starts\n"
    "as usual.\n"
    "Exit codes: 0 done, 1 refused by the running copy, 2 no running copy, 3 bad command line,\n"
    "4 no answer (the running copy stopped answering: what became of the command is unknown).\n";

// The build passes the version set once for the whole project.
const char* const kVersionText = VS_PROJECT_VERSION "\n";

namespace {

struct VerbName {
  const char* word;
  CommandVerb verb;
};
constexpr VerbName kVerbs[] = {
    {"switch", CommandVerb::kSwitch},   {"send", CommandVerb::kSend},
    {"pin", CommandVerb::kPin},         {"list", CommandVerb::kList},
    {"exit", CommandVerb::kExit},       {"help", CommandVerb::kHelp},
    {"version", CommandVerb::kVersion}, {"?", CommandVerb::kHelp},
    {"h", CommandVerb::kHelp},          {"gather", CommandVerb::kGather},
    {"watch", CommandVerb::kWatch},     {"apply", CommandVerb::kApply},
};

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameWord(const std::string& text, const char* word) {
  std::size_t i = 0;
  for (; i < text.size() && word[i] != '\0'; ++i) {
    if (Lower(text[i]) != word[i]) return false;
  }
  return i == text.size() && word[i] == '\0';
}

// "/x", "-x" or "--x": the x, or false when `arg` is no option.
bool OptionWord(const std::string& arg, std::string* word) {
  std::size_t skip = 0;
  if (arg.compare(0, 2, "--") == 0) {
    skip = 2;
  } else if (!arg.empty() && (arg[0] == '/' || arg[0] == '-')) {
    skip = 1;
  }
  if (skip == 0 || arg.size() == skip) return false;
  *word = arg.substr(skip);
  return true;
}

bool AllDigits(const std::string& text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return !text.empty();
}

int ReadNumber(const std::string& digits) {
  int value = 0;
  for (char c : digits) {
    value = value * 10 + (c - '0');
    if (value >= kNumberCeiling) return kNumberCeiling;
  }
  return value;
}

bool ParseTarget(const std::string& arg, bool lastAllowed, Command* command, std::string* reason) {
  if (AllDigits(arg)) {
    command->target = TargetKind::kNumber;
    command->number = ReadNumber(arg);
  } else if (SameWord(arg, "next")) {
    command->target = TargetKind::kNext;
  } else if (SameWord(arg, "prev")) {
    command->target = TargetKind::kPrev;
  } else if (SameWord(arg, "last") && lastAllowed) {
    command->target = TargetKind::kLast;
  } else if (arg.empty() || arg.size() > DesktopInfo::kMaxNameChars ||
             arg.find('\0') != std::string::npos) {
    *reason = "a desktop name has 1 to 14 characters";
    return false;
  } else {
    command->target = TargetKind::kName;
    command->name = arg;
  }
  return true;
}

bool IsFollow(const std::string& arg) {
  std::string word;
  return OptionWord(arg, &word) && SameWord(word, "follow");
}

bool IsWindowOption(const std::string& arg) {
  std::string word;
  return OptionWord(arg, &word) && SameWord(word, "window");
}

// Decimal, or hexadecimal after 0x, as /list gives a handle and scripts write one; 32 bits.
bool ParseHandle(const std::string& text, Command* command, std::string* reason) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  const char* alphabet = hex ? "0123456789abcdef" : "0123456789";
  std::uint64_t value = 0;
  bool ok = !digits.empty() && digits.size() <= 10;
  for (std::size_t i = 0; ok && i < digits.size(); ++i) {
    const char* at = std::strchr(alphabet, Lower(digits[i]));
    ok = digits[i] != '\0' && at != nullptr;
    if (ok) value = value * (hex ? 16 : 10) + static_cast<std::uint64_t>(at - alphabet);
  }
  if (!ok || value > 0xFFFFFFFFu) {
    *reason = "not a window handle: " + text;
    return false;
  }
  command->byWindow = true;
  command->window = static_cast<WindowId>(value);
  return true;
}

// "/window HANDLE" at args[i]; moves i past the handle.
bool TakeWindowOption(const std::vector<std::string>& args, std::size_t* i, Command* command,
                      std::string* reason) {
  if (*i + 1 >= args.size()) {
    *reason = "which window?";
    return false;
  }
  return ParseHandle(args[++*i], command, reason);
}

// /switch TARGET, or /send with TARGET and /follow in either order.
bool ParseOperands(const std::vector<std::string>& args, Command* command, std::string* reason) {
  const bool sending = command->verb == CommandVerb::kSend;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (sending && !command->follow && IsFollow(args[i])) {
      command->follow = true;
    } else if (sending && !command->byWindow && IsWindowOption(args[i])) {
      if (!TakeWindowOption(args, &i, command, reason)) return false;
    } else if (command->target == TargetKind::kNone) {
      if (!ParseTarget(args[i], !sending, command, reason)) return false;
    } else {
      *reason = "unexpected argument: " + args[i];
      return false;
    }
  }
  if (command->target != TargetKind::kNone) return true;
  *reason = "which desktop?";
  return false;
}

}  // namespace

bool Command::operator==(const Command& other) const {
  return verb == other.verb && target == other.target && number == other.number &&
         name == other.name && follow == other.follow && byWindow == other.byWindow &&
         window == other.window;
}

bool AsksRunningCopy(const std::vector<std::string>& args) {
  return !args.empty() && !args[0].empty() && (args[0][0] == '/' || args[0][0] == '-');
}

bool ParseCommandLine(const std::vector<std::string>& args, Command* command, std::string* reason) {
  *command = Command();
  std::string word;
  if (args.empty() || !OptionWord(args[0], &word)) {
    *reason = args.empty() ? "no command" : "not a command: " + args[0];
    return false;
  }
  for (const VerbName& v : kVerbs) {
    if (!SameWord(word, v.word)) continue;
    command->verb = v.verb;
    if (v.verb == CommandVerb::kSwitch || v.verb == CommandVerb::kSend)
      return ParseOperands(args, command, reason);
    if (args.size() == 1) return true;
    std::size_t i = 1;
    if (v.verb == CommandVerb::kPin && IsWindowOption(args[1])) {
      if (!TakeWindowOption(args, &i, command, reason)) return false;
      if (++i == args.size()) return true;
    }
    *reason = "unexpected argument: " + args[i];
    return false;
  }
  *reason = "unknown command: " + args[0];
  return false;
}

std::vector<std::string> CommandArguments(const Command& command) {
  std::vector<std::string> args;
  for (const VerbName& v : kVerbs) {
    if (v.verb == command.verb) {
      args.push_back(std::string("/") + v.word);
      break;
    }
  }
  switch (command.target) {
    case TargetKind::kNumber:
      args.push_back(std::to_string(command.number));
      break;
    case TargetKind::kNext:
      args.push_back("next");
      break;
    case TargetKind::kPrev:
      args.push_back("prev");
      break;
    case TargetKind::kLast:
      args.push_back("last");
      break;
    case TargetKind::kName:
      args.push_back(command.name);
      break;
    case TargetKind::kNone:
      break;
  }
  if (command.follow) args.push_back("/follow");
  if (command.byWindow) {
    args.push_back("/window");
    args.push_back(std::to_string(command.window));
  }
  return args;
}
