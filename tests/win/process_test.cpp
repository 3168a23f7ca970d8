// The process services against Wine's kernel: paths and the single-instance lock file.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/win32_process.h"

namespace {

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TestLockPath() {
  Win32Process process;
  std::string dir;
  if (!process.TempDirectory(&dir)) return std::string();
  return dir + "\\veilswitcher-wintest.tmp";
}

TEST(Process, ModulePathNamesThisProgram) {
  Win32Process process;
  std::string path = process.ModulePath();
  ASSERT_GE(path.size(), 4u);
  EXPECT_EQ(path.find('\0'), std::string::npos);
  EXPECT_TRUE(FileExists(path)) << path;
  EXPECT_EQ(path.substr(path.size() - 4), ".exe");
}

// A copy started with another TEMP finds no lock file held: this is what refuses it.
TEST(Process, TheSessionLockIsHeldOnceUntilReleased) {
  Win32Process first, second;
  ASSERT_TRUE(first.TakeSessionLock());
  EXPECT_FALSE(second.TakeSessionLock());
  first.ReleaseSessionLock();
  EXPECT_TRUE(second.TakeSessionLock());
  second.ReleaseSessionLock();
}

TEST(Process, TempDirectoryIsAnExistingDirectory) {
  Win32Process process;
  std::string dir;
  ASSERT_TRUE(process.TempDirectory(&dir));
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '\\');
  DWORD attributes = GetFileAttributesA(dir.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << dir;
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Process, TempDirectoryAtTheSystemLimitComesBackWhole) {
  // 258 characters, the longest Wine hands out: with "\" and "veilswitcher.tmp" it no longer
  // fits the lock path's 275 bytes, and the caller must see all of it to notice that.
  char saved[MAX_PATH * 4] = {};
  DWORD savedLength = GetEnvironmentVariableA("TMP", saved, sizeof(saved));
  std::string longDir = "C:\\" + std::string(254, 'd') + "\\";
  SetEnvironmentVariableA("TMP", longDir.c_str());

  Win32Process process;
  std::string dir;
  bool ok = process.TempDirectory(&dir);
  SetEnvironmentVariableA("TMP", savedLength > 0 ? saved : nullptr);

  ASSERT_TRUE(ok);
  EXPECT_EQ(dir.size(), 258u);
  EXPECT_EQ(dir, longDir);
}

TEST(Process, LockFileRefusesASecondHolderAndVanishesWhenClosed) {
  std::string path = TestLockPath();
  ASSERT_FALSE(path.empty());
  Win32Process first;
  Win32Process second;

  ASSERT_TRUE(first.OpenLockFile(path));
  EXPECT_TRUE(FileExists(path));
  EXPECT_FALSE(second.OpenLockFile(path));
  EXPECT_FALSE(second.HoldsLockFile());

  first.CloseLockFile();
  first.CloseLockFile();  // a second close is harmless
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(second.OpenLockFile(path));
}

TEST(Process, MovedLockStaysHeldByTheNewOwner) {
  std::string path = TestLockPath();
  ASSERT_FALSE(path.empty());
  Win32Process owner;
  {
    Win32Process first;
    ASSERT_TRUE(first.OpenLockFile(path));
    owner = std::move(first);
  }
  EXPECT_TRUE(owner.HoldsLockFile());
  Win32Process other;
  EXPECT_FALSE(other.OpenLockFile(path));
  owner.CloseLockFile();
  EXPECT_TRUE(other.OpenLockFile(path));
}

TEST(Process, LockFileLeftBehindWithoutHolderDoesNotBlock) {
  std::string path = TestLockPath();
  ASSERT_FALSE(path.empty());
  HANDLE stale = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(stale, INVALID_HANDLE_VALUE);
  CloseHandle(stale);

  Win32Process process;
  EXPECT_TRUE(process.OpenLockFile(path));
  process.CloseLockFile();
  EXPECT_FALSE(FileExists(path));
}

}  // namespace
