#pragma once

#include <string>
#include <vector>

#include "core_types.h"

// A command for the running copy, as typed after the program's name. The same parser reads the
// client's own arguments and, again, the arguments a request carries to the running copy, so that
// nothing the client refuses can reach the running copy by another road.

enum class CommandVerb {
  kSwitch,
  kSend,
  kPin,
  kList,
  kExit,
  kHelp,
  kVersion,
  kGather,
  kWatch,
  kApply
};

// Where /switch and /send go. A target of digits alone is a desktop number, whatever names the
// desktops have; next, prev and last (any case) are words, never names.
enum class TargetKind { kNone, kNumber, kNext, kPrev, kLast, kName };

struct Command {
  CommandVerb verb = CommandVerb::kHelp;
  TargetKind target = TargetKind::kNone;
  int number = 0;    // kNumber: 0 .. kNumberCeiling; past the last desktop is the copy's to refuse
  std::string name;  // kName: 1 .. 14 characters of the program's 8-bit text
  bool follow = false;    // /send only
  bool byWindow = false;  // /send and /pin: on `window` instead of the foreground window
  WindowId window = 0;

  bool operator==(const Command& other) const;
};

// Numbers are read up to here and no further, so that no count of digits can overflow; larger
// numbers name no desktop just as well.
constexpr int kNumberCeiling = 100000;

// Whether the program's own arguments (without its name) make it a client of the running copy:
// only when the first is an option. A logon runs the start-at-logon value as it stands, so an
// unquoted path with a space arrives as words that are no command; the program then starts as if
// it had none.
bool AsksRunningCopy(const std::vector<std::string>& args);

// Reads `args` (without the program's name). False with a one-line reason for a bad command line.
bool ParseCommandLine(const std::vector<std::string>& args, Command* command, std::string* reason);

// The arguments that ParseCommandLine reads back as `command`, in their shortest spelling.
std::vector<std::string> CommandArguments(const Command& command);

// Printed for /help, and after the reason for a bad command line.
extern const char* const kUsageText;

// Printed for /version: the project's version, as the version resource gives it, and a line feed.
extern const char* const kVersionText;
