#include "commands/command_messages.h"

#include <vector>

std::string EncodeRequest(const Command& command) {
  std::string bytes;
  for (const std::string& arg : CommandArguments(command)) {
    bytes += arg;
    bytes += '\0';
  }
  return bytes;
}

bool DecodeRequest(const std::uint8_t* data, std::size_t size, Command* command,
                   std::string* reason) {
  if (size == 0 || data == nullptr || size > kMaxRequestBytes) {
    *reason = "bad request: " + std::to_string(size) + " bytes";
    return false;
  }
  if (data[size - 1] != '\0') {
    *reason = "bad request: not ended";
    return false;
  }
  std::vector<std::string> args;
  std::size_t start = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] != '\0') continue;
    if (args.size() == kMaxRequestArguments) {
      *reason = "bad request: too many arguments";
      return false;
    }
    args.emplace_back(reinterpret_cast<const char*>(data) + start, i - start);
    start = i + 1;
  }
  if (ParseCommandLine(args, command, reason)) return true;
  *reason = "bad request: " + *reason;
  return false;
}

std::string EncodeReply(const Reply& reply) {
  return static_cast<char>(reply.code) + reply.text;
}

bool DecodeReply(const std::uint8_t* data, std::size_t size, Reply* reply) {
  if (size == 0 || data == nullptr || size > kMaxReplyBytes) return false;
  if (data[0] != kExitDone && data[0] != kExitRefused) return false;
  reply->code = data[0];
  reply->text.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  return true;
}
