// The texts outside the picture: which language a locale gets, and the English wording of the
// boxes, which must say what failed and what to do.
#include <gtest/gtest.h>

#include <string>

#include "app/fatal_report.h"
#include "app/frame_cycle.h"
#include "app/language.h"
#include "app_shell_fixture.h"

namespace {

TEST(Language, JapaneseOnlyForAJapaneseLocaleInPosixOrder) {
  struct Case {
    const char *all, *messages, *lang;
    GameLanguage want;
  };
  for (const Case& c : {Case{nullptr, nullptr, nullptr, LANGUAGE_ENGLISH},
                        Case{nullptr, nullptr, "ja_JP.UTF-8", LANGUAGE_JAPANESE},
                        Case{nullptr, nullptr, "jam", LANGUAGE_JAPANESE},  // "ja" is the prefix
                        Case{nullptr, "ja_JP", "en_GB.UTF-8", LANGUAGE_JAPANESE},
                        Case{"en_US.UTF-8", "ja_JP", "ja_JP", LANGUAGE_ENGLISH},  // LC_ALL wins
                        Case{"", "", "ja_JP.eucJP", LANGUAGE_JAPANESE},  // empty ones are unset
                        Case{nullptr, nullptr, "C.UTF-8", LANGUAGE_ENGLISH},
                        Case{nullptr, nullptr, "fr_FR", LANGUAGE_ENGLISH}}) {
    EXPECT_EQ(LanguageFromLocale(c.all, c.messages, c.lang), c.want)
        << (c.all ? c.all : "-") << " " << (c.messages ? c.messages : "-") << " "
        << (c.lang ? c.lang : "-");
  }
  EXPECT_EQ(ChooseLanguage("ja"), LANGUAGE_JAPANESE);
  EXPECT_EQ(ChooseLanguage("en"), LANGUAGE_ENGLISH);
}

class EnglishTexts : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    TextLanguage = LANGUAGE_ENGLISH;
  }
};

// The English report keeps the original's shape (heading, numbered lines, closing) and tells
// what failed on this machine with the way past it.
TEST_F(EnglishTexts, FailureReportNamesTheFailureAndTheFix) {
  const std::string report = FatalReportText(ERR_DIRECTSOUND | ERR_DIRECTDRAW);
  EXPECT_EQ(report.rfind("An error occurred!\n\n0001: the display could not be set up", 0), 0u)
      << report;
  const size_t sound = report.find("0002: the sound device could not be opened");
  ASSERT_NE(sound, std::string::npos) << report;
  EXPECT_NE(report.find("SDL_AUDIODRIVER=dummy", sound), std::string::npos);
  EXPECT_EQ(report.substr(report.size() - 19), "\nThe game will end.");
  for (uint32_t bit = 1; bit != 0; bit <<= 1) {
    const char* line = ErrorLineFormat(bit);
    if (line != nullptr) {
      EXPECT_EQ(std::string(line).rfind("%04d: ", 0), 0u) << bit;
    }
  }
}

// Every box the window shows is in the chosen language; the original's are kept for Japanese.
TEST_F(EnglishTexts, WindowBoxesFollowTheLanguage) {
  FakeSetNoScreen(true);
  EXPECT_EQ(CreateMainWindow(), 0);
  ASSERT_EQ(FakeMessageBoxes().size(), 1u);
  EXPECT_NE(FakeMessageBoxes()[0].text.find("xvfb-run"), std::string::npos);
  EXPECT_FALSE(FakeWindow().exists) << "the window that nobody sees is taken down";
  // An automatic run needs no screen.
  FrameLimit = 5;
  EXPECT_EQ(CreateMainWindow(), 1);
  FrameLimit = 0;
  FakeSetNoScreen(false);
  AppActive = 1;
  FakeQueueMessageBoxAnswer(PMB_ANSWER_NO);
  FakeQueueMessageBoxAnswer(PMB_ANSWER_NO);
  MainWindowProc(PlatformEvent{PEV_CLOSE, 0, 0});
  ASSERT_EQ(FakeMessageBoxes().size(), 2u);
  EXPECT_EQ(FakeMessageBoxes()[1].text, "The game will end.\nAre you sure?");
  TextLanguage = LANGUAGE_JAPANESE;
  MainWindowProc(PlatformEvent{PEV_CLOSE, 0, 0});
  ASSERT_EQ(FakeMessageBoxes().size(), 3u);
  EXPECT_EQ(FakeMessageBoxes()[2].text, "終了します。\nよろしいですか？");
}

}  // namespace
