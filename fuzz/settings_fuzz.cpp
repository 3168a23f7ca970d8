// libFuzzer target: settings and window rules loading over an in-memory registry built from the
// input (value names of any length, any type, any data, rules under any subkey name), and the
// hotkey text and command parsers over the raw bytes.
// Besides the sanitizers it checks what must hold for any store: no key left open, and what was
// loaded comes back unchanged through a save and a second load.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "commands/command_messages.h"
#include "fakes/fake_settings_store.h"
#include "rules/window_rules.h"
#include "settings/hotkey_text.h"
#include "settings/registry_settings.h"

namespace {

struct Ended {};  // FatalError ends the process; here it ends the load

class Reporter : public FailureReporter {
 public:
  [[noreturn]] void FatalError(const char*) override { throw Ended{}; }
  int ShowError(const char*) override { return 0; }
};

const char* const kKeys[] = {reg::kOptionsKey, reg::kDesksKey, reg::kRunKey};
const char* const kRuleKeys[] = {"Software\\veilswitcher\\rules",
                                 "Software\\veilswitcher\\rules\\1",
                                 "Software\\veilswitcher\\rules\\2"};

void Require(bool holds) {
  if (!holds) __builtin_trap();
}

void CheckHotkeyText(const std::string& bytes) {
  HotkeyCode code = ParseHotkeyText(bytes);
  Require(ParseHotkeyText(FormatHotkeyText(code)) == code);
  Require(ParseHotkeyText(FormatHotkeyText(code, false)) == code);
}

// The bytes as a request (a read past them is caught), and as a command line split at every NUL;
// a command read back from its own spelling must be the same command.
void CheckCommands(const std::uint8_t* data, std::size_t size) {
  Command command, again;
  std::string reason;
  if (DecodeRequest(data, size, &command, &reason)) {
    const std::string bytes = EncodeRequest(command);
    Require(DecodeRequest(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), &again,
                          &reason) &&
            again == command);
  }
  std::vector<std::string> args(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) args.emplace_back();
    if (data[i] != 0) args.back() += static_cast<char>(data[i]);
  }
  if (ParseCommandLine(args, &command, &reason))
    Require(ParseCommandLine(CommandArguments(command), &again, &reason) && again == command);
}

// A piece repeated: inputs of a few bytes still reach names past the store's longest (16,383).
std::string Name(FuzzedDataProvider& in) {
  const std::string piece = in.ConsumeRandomLengthString(64);
  const unsigned times =
      in.ConsumeIntegral<std::uint8_t>() < 16 ? in.ConsumeIntegralInRange<unsigned>(2, 300) : 1;
  std::string name;
  for (unsigned i = 0; i < times; ++i) name += piece;
  return name;
}

void BuildStore(FuzzedDataProvider& in, FakeSettingsStore& store) {
  const std::uint8_t present = in.ConsumeIntegral<std::uint8_t>();
  for (unsigned i = 0; i < 3; ++i) {
    if (present & (1u << i)) store.SeedKey(kKeys[i]);
  }
  while (in.remaining_bytes() > 0) {
    const unsigned pick = in.ConsumeIntegralInRange<unsigned>(0, 6);
    std::string key = pick < 3 ? kKeys[pick] : pick < 6 ? kRuleKeys[pick - 3] : "";
    if (pick == 6) key = std::string(kRuleKeys[0]) + "\\" + in.ConsumeRandomLengthString(12);
    std::string name = Name(in);
    const std::uint32_t type = in.ConsumeIntegral<std::uint32_t>();
    store.Seed(key, name, type, in.ConsumeRandomLengthString(1000));
  }
}

using Loaded = std::pair<std::vector<std::pair<std::string, HotkeyCode>>, std::vector<unsigned>>;

// Loads, or reports false when loading ended the way FatalError ends it.
bool Load(FakeSettingsStore& store, Loaded* loaded) {
  Reporter reporter;
  OptionsBlock options;
  DesktopTable table;
  try {
    RegistrySettings(store, reporter).Load(options, table);
  } catch (const Ended&) {
    return false;
  }
  for (const auto& entry : table)
    loaded->first.emplace_back(entry.second.name, entry.second.hotkey);
  loaded->second = {options.prevHotkey, options.nextHotkey, options.showNotice,
                    options.startAtLogon};
  return true;
}

// Whatever the rules key holds: every pattern matches its own text, a rule that can match
// nothing never matches, and what was loaded comes back through a save.
void CheckRules(FakeSettingsStore& store, const std::string& text) {
  const std::vector<WindowRule> rules = LoadRules(store);
  Require(store.OpenHandles() == 0);
  const WindowRule* hit = FirstMatch(rules, WindowFacts{text, text, text});
  Require(hit == nullptr || RuleCanMatch(*hit));
  for (const WindowRule& rule : rules) {
    const WindowFacts own{rule.program, rule.windowClass, rule.title};
    Require(RuleMatches(rule, own) == RuleCanMatch(rule));
  }
  if (SaveRules(store, rules)) Require(LoadRules(store) == rules);
  Require(store.OpenHandles() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckHotkeyText(std::string(reinterpret_cast<const char*>(data), size));
  CheckCommands(data, size);
  FuzzedDataProvider in(data, size);
  FakeSettingsStore store;
  BuildStore(in, store);
  CheckRules(store, std::string(reinterpret_cast<const char*>(data), size < 64 ? size : 64));
  Loaded first;
  const bool loaded = Load(store, &first);
  Require(store.OpenHandles() == 0);
  if (!loaded) return 0;

  Reporter reporter;
  OptionsBlock options{first.second[0], first.second[1], static_cast<std::uint8_t>(first.second[2]),
                       static_cast<std::uint8_t>(first.second[3])};
  DesktopTable table;
  for (const auto& desk : first.first) {
    DesktopInfo& info = table.GetDesktop(static_cast<DesktopNumber>(table.Count() + 1));
    info.name = desk.first;
    info.hotkey = desk.second;
  }
  RegistrySettings(store, reporter).Save(options, table, "C:\\veilswitcher\\veilswitcher.exe");
  Loaded second;
  Require(Load(store, &second) && second == first);
  Require(store.OpenHandles() == 0);
  return 0;
}
