#include "platform/win32/win32_same_user.h"

#include <sddl.h>

#include <vector>

namespace {

// TOKEN_USER of the process, in `buffer`.
bool TokenUserOf(HANDLE process, std::vector<BYTE>* buffer) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  buffer->assign(size, 0);
  const bool ok = size > 0 && GetTokenInformation(token, TokenUser, buffer->data(), size, &size);
  CloseHandle(token);
  return ok;
}

PSID SidIn(std::vector<BYTE>& buffer) {
  return reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
}

}  // namespace

bool WindowOfOwnUser(HWND w) {
  DWORD processId = 0;
  if (w == nullptr || !IsWindow(w) || GetWindowThreadProcessId(w, &processId) == 0) return false;
  if (processId == GetCurrentProcessId()) return true;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (process == nullptr) return false;
  std::vector<BYTE> theirs;
  std::vector<BYTE> ours;
  const bool same = TokenUserOf(process, &theirs) && TokenUserOf(GetCurrentProcess(), &ours) &&
                    EqualSid(SidIn(theirs), SidIn(ours));
  CloseHandle(process);
  return same;
}

std::string OwnUserSid() {
  std::vector<BYTE> user;
  char* text = nullptr;
  if (!TokenUserOf(GetCurrentProcess(), &user) || !ConvertSidToStringSidA(SidIn(user), &text))
    return std::string();
  std::string sid(text);
  LocalFree(text);
  return sid;
}
