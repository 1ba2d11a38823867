// The Windows single-instance handshake: a claimed copy is found and asked to the front; a copy
// still starting, another program's name or a released claim are not.
#include "platform/win/win_api.h"
// After windows.h, whose virtual-key names platform.h defines itself.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

int32_t Raises = 0;
void SdlRaiseMainWindow() { ++Raises; }

namespace {

std::string UniqueClass(const char* what) {
  return "ZZ-TEST-" + std::to_string(GetCurrentProcessId()) + "-" + what;
}

class WinInstance : public ::testing::Test {
 protected:
  void SetUp() override { Raises = 0; }
  void TearDown() override { PlatformReleaseInstance(); }
};

TEST_F(WinInstance, AClaimedCopyIsFoundAndRaisedOncePerStartUntilReleased) {
  const std::string name = UniqueClass("claimed");
  EXPECT_FALSE(PlatformFindRunningInstance(name.c_str()));
  PlatformClaimInstance(name.c_str());
  PlatformClaimInstance(name.c_str());  // a second claim changes nothing
  EXPECT_TRUE(PlatformFindRunningInstance(name.c_str()));
  EXPECT_TRUE(PlatformFindRunningInstance(name.c_str()));
  EXPECT_EQ(Raises, 2);
  EXPECT_FALSE(PlatformFindRunningInstance(UniqueClass("other program").c_str()));
  PlatformReleaseInstance();
  EXPECT_FALSE(PlatformFindRunningInstance(name.c_str()));
  EXPECT_EQ(Raises, 2);
  // Claimed again after a release, as a game that closed and reopened its window would.
  PlatformClaimInstance(name.c_str());
  EXPECT_TRUE(PlatformFindRunningInstance(name.c_str()));
  EXPECT_EQ(Raises, 3);
}

// Another copy holds the mutex but has no window yet (it is still starting): a later start runs
// beside it, and does not take the claim from it either.
TEST_F(WinInstance, ACopyStillStartingIsNeitherFoundNorDisplaced) {
  const std::string name = UniqueClass("starting");
  const std::wstring mutexName = L"Local\\" + WinWide(name.c_str()) + L".instance";
  HANDLE starting = CreateMutexW(nullptr, FALSE, mutexName.c_str());
  ASSERT_NE(starting, nullptr);
  EXPECT_FALSE(PlatformFindRunningInstance(name.c_str()));
  PlatformClaimInstance(name.c_str());
  EXPECT_FALSE(PlatformFindRunningInstance(name.c_str()));
  EXPECT_EQ(Raises, 0);
  CloseHandle(starting);
  PlatformClaimInstance(name.c_str());  // the other copy is gone: the claim is free
  EXPECT_TRUE(PlatformFindRunningInstance(name.c_str()));
  EXPECT_EQ(Raises, 1);
}

TEST(WinText, Utf8AndUtf16RoundTrip) {
  for (const char* text : {"", "ZIZID-OZAVAV", "C:\\Users\\\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88"}) {
    EXPECT_EQ(WinUtf8(WinWide(text).c_str()), text);
  }
  EXPECT_EQ(WinWide("\xE3\x83\x86").size(), 1u);  // one katakana letter, one UTF-16 unit
}

}  // namespace
