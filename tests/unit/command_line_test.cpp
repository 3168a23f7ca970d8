#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "commands/command_messages.h"
#include "commands/desktop_list_json.h"

namespace vt {
namespace {

using Args = std::vector<std::string>;

// The command a line means, spelled out in the shortest arguments; or "refused".
std::string Meaning(const Args& args) {
  Command command;
  std::string reason;
  if (!ParseCommandLine(args, &command, &reason)) return reason.empty() ? "no reason" : "refused";
  std::string text;
  for (const std::string& arg : CommandArguments(command)) text += (text.empty() ? "" : " ") + arg;
  return text;
}

TEST(CommandLine, EverySpellingOfEachCommand) {
  const std::vector<std::pair<Args, std::string>> cases = {
      {{"/switch", "2"}, "/switch 2"},
      {{"-SWITCH", "Next"}, "/switch next"},
      {{"--switch", "PREV"}, "/switch prev"},
      {{"/Switch", "last"}, "/switch last"},
      {{"/switch", "VirtDesk3"}, "/switch VirtDesk3"},
      {{"/switch", "007"}, "/switch 7"},
      {{"/switch", "0"}, "/switch 0"},  // no desktop has it: the running copy says so
      {{"/switch", "99999999999999999999"}, "/switch 100000"},
      {{"/switch", "-1"}, "/switch -1"},  // a name, as any text that is not all digits
      {{"/send", "next", "/follow"}, "/send next /follow"},
      {{"/send", "-FOLLOW", "3"}, "/send 3 /follow"},
      {{"/send", "last"}, "/send last"},  // sending has no last desktop: a name
      {{"/send", "/follow", "/follow"}, "/send /follow /follow"},
      {{"/pin"}, "/pin"},
      {{"-list"}, "/list"},
      {{"--exit"}, "/exit"},
      {{"/?"}, "/help"},
      {{"/help"}, "/help"},
      {{"/switch", "ABCDEFGHIJKLMN"}, "/switch ABCDEFGHIJKLMN"},
  };
  for (const auto& [args, meaning] : cases) EXPECT_EQ(Meaning(args), meaning) << args[0];
  const std::vector<Args> refused = {
      {},
      {"switch", "2"},
      {"/"},
      {"--"},
      {"/jump", "2"},
      {"/switch"},
      {"/switch", ""},
      {"/switch", "1", "2"},
      {"/switch", "2", "/follow"},
      {"/switch", "ABCDEFGHIJKLMNO"},  // 15 characters
      {"/send", "/follow"},
      {"/send", "1", "/follow", "/follow"},
      {"/pin", "1"},
      {"/list", "/follow"},
  };
  for (const Args& args : refused)
    EXPECT_EQ(Meaning(args), "refused") << (args.empty() ? "(none)" : args[0]);
}

bool Decodes(const std::string& bytes, std::string* meaning) {
  // Exactly the bytes, in a block of their own: a read past them is the sanitizer's to report.
  std::vector<std::uint8_t> block(bytes.begin(), bytes.end());
  Command command;
  std::string reason;
  if (!DecodeRequest(block.data(), block.size(), &command, &reason)) {
    *meaning = reason;
    return false;
  }
  *meaning = Meaning(CommandArguments(command));
  return true;
}

TEST(CommandRequest, CarriesEveryCommandAndRefusesAnythingElse) {
  std::string meaning;
  for (const Args& args : {Args{"/send", "My desk", "/follow"}, Args{"/switch", "last"},
                           Args{"/exit"}, Args{"/send", "/follow", "/follow"}}) {
    Command command;
    std::string reason;
    ASSERT_TRUE(ParseCommandLine(args, &command, &reason));
    ASSERT_TRUE(Decodes(EncodeRequest(command), &meaning)) << meaning;
    EXPECT_EQ(meaning, Meaning(args));
  }
  const std::string bad[] = {
      std::string(),
      std::string("/list"),        // not ended
      std::string("/list\0x", 7),  // a last argument not ended
      std::string(1, '\0'),        // one empty argument
      std::string("/switch\0"
                  "ABCDEFGHIJKLMNO\0",
                  24),
      std::string("/pin\0/pin\0", 10),
      std::string("\xff\xfe\x00\x01", 4),
      std::string(600, 'a') + '\0',
      std::string(9, '\0'),
  };
  for (const std::string& bytes : bad) {
    EXPECT_FALSE(Decodes(bytes, &meaning)) << bytes.size() << " bytes";
    EXPECT_THAT(meaning, ::testing::StartsWith("bad request: "));
  }
}

TEST(CommandReply, CodeThenTextAndNothingElse) {
  const std::string encoded = EncodeReply(Reply{kExitRefused, "no desktop 9\n"});
  std::vector<std::uint8_t> block(encoded.begin(), encoded.end());
  Reply reply;
  ASSERT_TRUE(DecodeReply(block.data(), block.size(), &reply));
  EXPECT_EQ(reply.code, kExitRefused);
  EXPECT_EQ(reply.text, "no desktop 9\n");
  const std::uint8_t two[] = {2, 'x'};
  EXPECT_FALSE(DecodeReply(two, sizeof two, &reply));
  EXPECT_FALSE(DecodeReply(block.data(), 0, &reply));
}

std::string Upper(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  return out;
}

TEST(ListJson, EscapesEveryTextAfterConvertingItWhole) {
  DesktopListing listing;
  listing.current = 2;
  listing.desktops = {{1, "one", 0x10070, {"say \"hi\"", "C:\\dir", std::string("a\tb\x01", 4)}},
                      {2, "two", 0x60071, {}},
                      {3, "three", 0, {"x"}}};
  EXPECT_EQ(FormatListJson(listing, Upper),
            "{\"current\": 2, \"desktops\": ["
            "{\"number\": 1, \"name\": \"ONE\", \"hotkey\": \"Alt+F1\", \"windows\": "
            "[\"SAY \\\"HI\\\"\", \"C:\\\\DIR\", \"A\\u0009B\\u0001\"]}, "
            "{\"number\": 2, \"name\": \"TWO\", \"hotkey\": \"Ctrl+Shift+F2\", \"windows\": []}, "
            "{\"number\": 3, \"name\": \"THREE\", \"hotkey\": \"\", \"windows\": [\"X\"]}]}\n");
  EXPECT_EQ(HotkeyName(0x0F0041), "Win+Ctrl+Shift+Alt+A");
  EXPECT_EQ(HotkeyName(0x010027), "Alt+Right");
  EXPECT_EQ(HotkeyName(0x0100E2), "Alt+0xE2");
}

}  // namespace
}  // namespace vt
