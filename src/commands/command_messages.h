#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "commands/command_line.h"

// What travels between the client and the running copy in WM_COPYDATA. A request carries a
// command's arguments, each ended by a NUL; the running copy reads them with the client's own
// parser. The answer goes back to the client's window as a second WM_COPYDATA: one byte of exit
// code, then text (UTF-8). The request's own result says only what became of the request: a
// refusal is answered before it returns, a command taken releases the client at once and is
// answered when it is done, however long it waits on other programs.

constexpr std::uintptr_t kRequestTag = 0x56534331;  // "VSC1", COPYDATASTRUCT::dwData
constexpr std::uintptr_t kReplyTag = 0x56535231;    // "VSR1"
constexpr std::uintptr_t kEventTag = 0x56534531;    // "VSE1": a /watch line, UTF-8

// Results of the request's WM_COPYDATA.
constexpr std::intptr_t kRequestNotTaken = 0;  // not a request, or from no trusted window
constexpr std::intptr_t kRequestAnswered = 1;  // the answer has been sent back
constexpr std::intptr_t kRequestBusy = 2;      // in the middle of an operation: ask again
constexpr std::intptr_t kRequestAccepted = 3;  // taken: the answer follows once it is done

// Far more than any command line needs; anything longer is refused unread.
constexpr std::size_t kMaxRequestBytes = 512;
constexpr std::size_t kMaxRequestArguments = 8;
// A client takes no answer beyond this (the longest listing is some 300 KB).
constexpr std::size_t kMaxReplyBytes = 4 * 1024 * 1024;

// Exit codes of the client.
constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;
constexpr int kExitNoCopy = 2;
constexpr int kExitBadCommandLine = 3;
constexpr int kExitNoAnswer = 4;  // the copy stopped answering or ended: the outcome is unknown

std::string EncodeRequest(const Command& command);
// Reads exactly `size` bytes at `data` and nothing past them. False with a reason for anything
// that is not a well-formed request of a valid command.
bool DecodeRequest(const std::uint8_t* data, std::size_t size, Command* command,
                   std::string* reason);

struct Reply {
  int code = kExitRefused;  // kExitDone or kExitRefused
  std::string text;
};
std::string EncodeReply(const Reply& reply);
bool DecodeReply(const std::uint8_t* data, std::size_t size, Reply* reply);
