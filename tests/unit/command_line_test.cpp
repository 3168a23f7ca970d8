#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "commands/command_messages.h"

namespace vt {
namespace {

using Args = std::vector<std::string>;

// The command a line means, in its shortest spelling; "refused" for a bad line.
std::string Meaning(const Args& args) {
  Command command;
  std::string reason, text;
  if (!ParseCommandLine(args, &command, &reason)) return reason.empty() ? "no reason" : "refused";
  for (const std::string& arg : CommandArguments(command)) text += (text.empty() ? "" : " ") + arg;
  return text;
}

TEST(CommandLine, EverySpellingOfEachCommandAndTheLinesRefused) {
  // clang-format off
  const std::vector<std::pair<Args, std::string>> cases = {
      {{"-SWITCH", "Next"}, "/switch next"}, {{"--switch", "PREV"}, "/switch prev"},
      {{"/Switch", "last"}, "/switch last"}, {{"/switch", "My desk"}, "/switch My desk"},
      {{"/switch", "007"}, "/switch 7"}, {{"/switch", "99999999999999"}, "/switch 100000"},
      {{"/send", "-FOLLOW", "3"}, "/send 3 /follow"}, {{"/send", "last"}, "/send last"},
      {{"/send", "/follow", "/follow"}, "/send /follow /follow"}, {{"/pin"}, "/pin"},
      {{"-list"}, "/list"}, {{"--exit"}, "/exit"}, {{"/?"}, "/help"}, {{"-h"}, "/help"},
      {{"--HELP"}, "/help"}, {{"-?"}, "/help"}, {{"/Version"}, "/version"},
      {{"--version"}, "/version"}, {{"-APPLY"}, "/apply"},
      {{"/send", "-WINDOW", "0x1a2B", "3"}, "/send 3 /window 6699"},
      {{"/pin", "/window", "4294967295"}, "/pin /window 4294967295"}};
  const std::vector<Args> refused = {
      {}, {"switch", "2"}, {"/"}, {"--"}, {"/jump"}, {"/switch"}, {"/switch", ""},
      {"/switch", "1", "2"}, {"/switch", "2", "/follow"}, {"/switch", "ABCDEFGHIJKLMNO"},
      {"/send", "/follow"}, {"/send", "1", "/follow", "/follow"}, {"/pin", "1"},
      {"/version", "2"}, {"-h", "/list"}, {"/?", "/?"}, {"-v"}, {"/he"}, {"--hh"}, {"/apply", "2"},
      {"/pin", "/window"}, {"/pin", "/window", "0xZZ"}, {"/pin", "/window", "1", "2"},
      {"/send", "2", "/window", "4294967296"}, {"/send", "2", "/window", "0x"},
      {"/send", "2", "/window", "1", "/window", "2"}, {"/switch", "2", "/window", "1"}};
  // clang-format on
  for (const auto& [args, meaning] : cases) EXPECT_EQ(Meaning(args), meaning) << args[0];
  for (const Args& args : refused) EXPECT_EQ(Meaning(args), "refused") << args.size();
}

// A logon splits the unquoted start-at-logon path at its spaces: those words start the program.
TEST(CommandLine, OnlyAnOptionFirstMakesAClient) {
  for (const Args& args : {Args{"/switch", "2"}, Args{"-"}, Args{"--exit"}})
    EXPECT_TRUE(AsksRunningCopy(args)) << args[0];
  for (const Args& args : {Args{}, Args{"C:\\Users\\Ann", "Lee\\veilswitcher.exe", "/exit"},
                           Args{"switch", "2"}, Args{"", "/pin"}})
    EXPECT_FALSE(AsksRunningCopy(args)) << args.size();
}

}  // namespace
}  // namespace vt
