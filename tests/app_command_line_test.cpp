// The switch parser and the split of long options from the switch text.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/command_line.h"
#include "app/message_loop.h"
#include "support/files.h"

namespace {

// Every parse starts from the defaults: leftovers of an earlier one must not survive.
TEST(ParseCommandLine, SetsExactlyTheSwitchesGiven) {
  struct Case {
    const char* text;
    int32_t fullScreen, emulationOnly, systemMemory;
    uint32_t slowSkip;
  };
  for (const Case& c : {Case{"", 0, 1, 1, 0}, Case{"/f /s", 1, 1, 1, 40}, Case{"-F", 0, 1, 1, 0},
                        Case{"/FS", 1, 1, 1, 0},  // a letter counts only right after a slash
                        Case{"//f", 1, 1, 1, 0},  // the second slash is read again
                        Case{"/E/e/m/M/S/s/F/f", 1, 0, 0, 40},
                        Case{"path/file /q", 1, 1, 1, 0}}) {  // "/file" holds "/f"
    std::tie(FullScreen, EmulationOnly, SystemMemorySurfaces) = std::tuple(1, 0, 0);
    std::tie(SlowSkip, SkipLeft, LastClock) = std::tuple(40u, 7u, 99u);
    EXPECT_EQ(ParseCommandLine(c.text), 1);
    EXPECT_EQ(
        std::tuple(FullScreen, EmulationOnly, SystemMemorySurfaces, SlowSkip, SkipLeft, LastClock),
        std::tuple(c.fullScreen, c.emulationOnly, c.systemMemory, c.slowSkip, 0u, 0u))
        << '"' << c.text << '"';
  }
}

struct SplitResult {
  bool ok;
  LongOptions options;
  std::string text, error;
};

SplitResult Split(std::vector<const char*> args) {
  args.insert(args.begin(), "zizid-ozavav");
  SplitResult r;
  r.ok = SplitArguments(int(args.size()), args.data(), &r.options, &r.text, &r.error);
  return r;
}

// Plain arguments are joined with blanks; "--" alone ends the long options, and a long option's
// path never turns on a switch.
TEST(SplitArguments, PassesOnlyPlainArgumentsOnAsSwitchText) {
  EXPECT_EQ(Split({"/f", "x", "/S"}).text, "/f x /S");
  const SplitResult end = Split({"--", "--fps", "/F"});
  EXPECT_EQ(std::tuple(end.ok, end.text, end.options.fps), std::tuple(true, "--fps /F", 60));
  const SplitResult r = Split({"--soundfont", "/fonts/gm.sf2", "--fps=144", "/s"});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(std::tuple(r.options.soundFont, r.options.fps, r.text),
            std::tuple("/fonts/gm.sf2", 144, "/s"));
}

TEST(SplitArguments, RefusesABadOptionWithAReason) {
  using Args = std::vector<const char*>;
  for (const Args& args :
       {Args{"--fps"}, Args{"--fps", "60x"}, Args{"--fps", "1001"},
        Args{"--fps=99999999999999999999"}, Args{"--help=yes"}, Args{"--full"}, Args{"-x"},
        Args{"-F"}, Args{"-"}, Args{"-hv"}, Args{"-h=1"}, Args{"--language=fr"},
        Args{"--scale", "wide"}, Args{"--dump-every", "0"}}) {
    const SplitResult r = Split(args);
    EXPECT_TRUE(!r.ok && !r.error.empty()) << args[0];
  }
  EXPECT_EQ(Split({"-x"}).error, "unknown option -x");
}

// The short spellings, and the defaults a player gets without options.
TEST(SplitArguments, TakesTheShortOptionsAndKeepsTheDefaults) {
  for (const char* help : {"-h", "-?", "--help"}) EXPECT_TRUE(Split({help}).options.help) << help;
  EXPECT_TRUE(Split({"-v"}).options.verbose);
  const SplitResult plain = Split({});
  EXPECT_EQ(std::tuple(plain.options.scale, plain.options.language, plain.options.verbose),
            std::tuple("aspect", "", false));
  EXPECT_EQ(Split({"--language", "ja"}).options.language, "ja");
}

// Whether text names the option on its own: "-h" inside "--help" does not count.
bool Names(const std::string& text, const std::string& option) {
  const auto partOfName = [](char c) { return c == '-' || (c >= 'a' && c <= 'z'); };
  for (size_t at = text.find(option); at != std::string::npos; at = text.find(option, at + 1)) {
    const size_t end = at + option.size();
    if ((at == 0 || text[at - 1] != '-') && (end == text.size() || !partOfName(text[end])))
      return true;
  }
  return false;
}

// The usage, the README and the manual page list the same options: the usage is made from the
// option table, and the two documents are read here.
TEST(UsageText, ListsEveryOptionAsDoTheReadmeAndTheManualPage) {
  const std::string usage = UsageText();
  const std::string readme = ReadFileText(ZZ_SOURCE_DIR "/README.md");
  std::string manual = ReadFileText(ZZ_SOURCE_DIR "/docs/zizid-ozavav.6");
  ASSERT_FALSE(readme.empty() || manual.empty());
  for (size_t at = manual.find("\\-"); at != std::string::npos; at = manual.find("\\-", at))
    manual.erase(at, 1);  // roff writes a dash as \-
  for (const std::string& option : OptionSpellings()) {
    EXPECT_TRUE(Names(usage, option)) << option << " is not in the usage";
    EXPECT_TRUE(Names(readme, "`" + option)) << option << " is not in the README";
    EXPECT_TRUE(Names(manual, option)) << option << " is not in the manual page";
  }
}

}  // namespace
