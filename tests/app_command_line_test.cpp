// The switch parser and the split of long options from the switch text.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/command_line.h"
#include "app/message_loop.h"

namespace {

struct SwitchCase {
  const char* text;
  int32_t fullScreen, emulationOnly, systemMemory;
  uint32_t slowSkip;
};

class SwitchParse : public testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchParse, SetsExactlyTheSwitchesGiven) {
  // Leftovers of an earlier parse must not survive: every call starts from the defaults.
  FullScreen = 1;
  EmulationOnly = 0;
  SystemMemorySurfaces = 0;
  SlowSkip = 40;
  SkipLeft = 7;
  LastClock = 99;
  const SwitchCase& c = GetParam();
  EXPECT_EQ(ParseCommandLine(c.text), 1);
  EXPECT_EQ(
      std::tuple(FullScreen, EmulationOnly, SystemMemorySurfaces, SlowSkip, SkipLeft, LastClock),
      std::tuple(c.fullScreen, c.emulationOnly, c.systemMemory, c.slowSkip, 0u, 0u));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SwitchParse,
    testing::Values(SwitchCase{"", 0, 1, 1, 0}, SwitchCase{"/f /s", 1, 1, 1, 40},
                    SwitchCase{"/F/S", 1, 1, 1, 40}, SwitchCase{"-F", 0, 1, 1, 0},
                    SwitchCase{"F", 0, 1, 1, 0}, SwitchCase{"/X/F", 1, 1, 1, 0},
                    SwitchCase{"/FS", 1, 1, 1, 0},  // a letter counts only right after a slash
                    SwitchCase{"/", 0, 1, 1, 0}, SwitchCase{"/F/", 1, 1, 1, 0},
                    SwitchCase{"//f", 1, 1, 1, 0},  // the second slash is read again
                    SwitchCase{"/e /M", 0, 0, 0, 0}, SwitchCase{"/E/e/m/M/S/s/F/f", 1, 0, 0, 40},
                    SwitchCase{"path/file /q", 1, 1, 1, 0}));  // "/file" holds "/f"

struct SplitResult {
  bool ok;
  LongOptions options;
  std::string text, error;
};

SplitResult Split(std::vector<const char*> args) {
  args.insert(args.begin(), "zizid-ozavav");
  SplitResult r;
  r.ok = SplitArguments(static_cast<int>(args.size()), args.data(), &r.options, &r.text, &r.error);
  return r;
}

// Plain arguments are joined with blanks; "--" alone ends the long options.
TEST(SplitArguments, PassesPlainArgumentsOnAsSwitchText) {
  for (auto [args, text] : {std::pair{std::vector<const char*>{"/f", "x", "/S"}, "/f x /S"},
                            {{"--", "--fps", "/F"}, "--fps /F"}}) {
    const SplitResult r = Split(args);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(std::tuple(r.text, r.options.fps, r.options.help), std::tuple(text, 60, false));
  }
}

TEST(SplitArguments, ALongOptionsPathNeverTurnsOnASwitch) {
  const SplitResult r = Split({"--soundfont", "/fonts/gm.sf2", "--audio-dump=/tmp/s.wav", "/s"});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.options.soundFont, "/fonts/gm.sf2");
  EXPECT_EQ(r.options.audioDump, "/tmp/s.wav");
  EXPECT_EQ(r.text, "/s");
  ParseCommandLine(r.text.c_str());
  EXPECT_EQ(FullScreen, 0);
  EXPECT_EQ(SlowSkip, 40u);
}

TEST(SplitArguments, ReadsFpsInBothFormsHelpAndVersion) {
  EXPECT_EQ(Split({"--fps", "0"}).options.fps, 0);
  EXPECT_EQ(Split({"--fps=144"}).options.fps, 144);
  EXPECT_TRUE(Split({"--help"}).options.help);
  EXPECT_TRUE(Split({"--version"}).options.version);
}

class BadOption : public testing::TestWithParam<std::vector<const char*>> {};

TEST_P(BadOption, IsRefusedWithAReason) {
  const SplitResult r = Split(GetParam());
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
}

INSTANTIATE_TEST_SUITE_P(Options, BadOption,
                         testing::Values(std::vector<const char*>{"--fps"},
                                         std::vector<const char*>{"--fps", "-1"},
                                         std::vector<const char*>{"--fps", "60x"},
                                         std::vector<const char*>{"--fps", "1001"},
                                         std::vector<const char*>{"--fps=99999999999999999999"},
                                         std::vector<const char*>{"--soundfont"},
                                         std::vector<const char*>{"--help=yes"},
                                         std::vector<const char*>{"--full"}));

}  // namespace
