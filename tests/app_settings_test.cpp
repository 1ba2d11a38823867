// The settings file: its defaults written and read back, every key, damaged lines, the command
// line over it, the folders it lives in, and the bindings it gives the keyboard and controller.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/command_line.h"
#include "app/kept_high_score.h"
#include "app/main_window.h"
#include "app/settings_file.h"
#include "core/play_options.h"
#include "input/key_names.h"
#include "input/pad.h"
#include "platform/controller_map.h"
#include "platform/fake/fake_platform.h"
#include "support/files.h"

namespace {

namespace fs = std::filesystem;

class Settings : public testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("zz-settings-" + std::to_string(getpid()));
    fs::remove_all(folder);
    FakeSystemReset();
    JoystickCount = -1;
  }
  void TearDown() override {
    fs::remove_all(folder);
    ApplySettings(DefaultSettings());
  }
  static GameSettings Read(const std::string& text, std::vector<std::string>* problems) {
    GameSettings s = DefaultSettings();
    ReadSettingsText(text, &s, problems);
    return s;
  }
  fs::path folder;
};

TEST_F(Settings, DefaultsAreWrittenOnceWithACommentOnEveryKeyAndReadBackAsTheDefaults) {
  const std::string path = (folder / "deep" / "settings.ini").string();
  std::string error;
  ASSERT_TRUE(WriteDefaultSettings(path, &error)) << error;
  const std::string text = ReadFileText(path);
  EXPECT_EQ(text, DefaultSettingsText());
  // A file that is there is the player's: it is never written over.
  std::ofstream(path, std::ios::binary) << "[display]\nscale = integer\n";
  EXPECT_FALSE(WriteDefaultSettings(path, &error));
  EXPECT_EQ(ReadFileText(path), "[display]\nscale = integer\n");

  std::vector<std::string> problems;
  const GameSettings read = Read(text, &problems);
  EXPECT_TRUE(problems.empty()) << problems.front();
  const GameSettings defaults = DefaultSettings();
  EXPECT_EQ(std::tuple(read.options.scale, read.fullScreen, read.fixMissionStartSpeed,
                       read.keepHighScore, read.keys[4], read.keys[KEYBOARD_PAUSE_ENTRY]),
            std::tuple(std::string("aspect"), false, false, false, std::vector<int32_t>{'Z', ' '},
                       std::vector<int32_t>{'P'}));
  for (int32_t c = 0; c < PAD_CONTROL_COUNT; ++c) {
    EXPECT_EQ(read.keys[c], defaults.keys[c]) << c;
    EXPECT_EQ(ControllerBindingNames(read.pad, c), ControllerBindingNames(defaults.pad, c)) << c;
  }
  // Every line that is not blank, a section or a setting is a comment.
  std::stringstream lines(text);
  for (std::string line, previous; std::getline(lines, line); previous = line) {
    if (line.empty() || line[0] == '[' || line[0] == '#') continue;
    EXPECT_EQ(previous[0], '#') << "no comment above " << line;
  }
}

// Each key, set to a value other than its default, lands where the game reads it.
TEST_F(Settings, EveryKeyIsRead) {
  using Check = std::function<bool(const GameSettings&)>;
  const std::tuple<const char*, const char*, Check> cases[] = {
      {"display", "fullscreen = yes", [](const GameSettings& s) { return s.fullScreen; }},
      {"display", "scale = Integer",
       [](const GameSettings& s) { return s.options.scale == "integer"; }},
      // A ';' inside a word is part of it; only one after a blank starts a comment.
      {"display", "screenshot-dir = /tmp/shots;1 ; mine",
       [](const GameSettings& s) { return s.options.screenshotDir == "/tmp/shots;1"; }},
      {"display", "pause-notice = off", [](const GameSettings& s) { return !s.pauseNotice; }},
      {"sound", "music-volume = 40",
       [](const GameSettings& s) { return s.options.musicVolume == 40; }},
      {"sound", "sfx-volume = 0", [](const GameSettings& s) { return s.options.sfxVolume == 0; }},
      {"sound", "soundfont = /x/y.sf2",
       [](const GameSettings& s) { return s.options.soundFont == "/x/y.sf2"; }},
      {"general", "language = ja", [](const GameSettings& s) { return s.options.language == "ja"; }},
      {"keyboard", "up = W, page up",
       [](const GameSettings& s) { return s.keys[0] == std::vector<int32_t>{'W', 0x21}; }},
      {"keyboard", "button8 = Keypad 5",
       [](const GameSettings& s) { return s.keys[11] == std::vector<int32_t>{0x65}; }},
      {"keyboard", "pause = F1, Tab",
       [](const GameSettings& s) { return s.keys[12] == std::vector<int32_t>{0x70, 0x09}; }},
      {"keyboard", "button1 =", [](const GameSettings& s) { return s.keys[4].empty(); }},
      {"controller", "button8 = START, lefttrigger",
       [](const GameSettings& s) {
         return ControllerBindingNames(s.pad, 11) == "start, lefttrigger";
       }},
      {"controller", "down = +righty",
       [](const GameSettings& s) { return ControllerBindingNames(s.pad, 1) == "+righty"; }},
      {"fixes", "mission-start-speed = yes",
       [](const GameSettings& s) { return s.fixMissionStartSpeed; }},
      {"enhancements", "keep-high-score = true",
       [](const GameSettings& s) { return s.keepHighScore; }},
  };
  for (const auto& [section, line, check] : cases) {
    std::vector<std::string> problems;
    const GameSettings s = Read("[" + std::string(section) + "]\n" + line + "\n", &problems);
    EXPECT_TRUE(problems.empty()) << line << ": " << problems.front();
    EXPECT_TRUE(check(s)) << line;
  }
}

// What is wrong is told by line number and left out; everything else still counts.
TEST_F(Settings, DamagedAndUnknownLinesAreToldByNumberAndIgnored) {
  const std::string text =
      "\xEF\xBB\xBF# a comment\n"   // 1
      "[display]\n"                 // 2
      "scale = integer\n"           // 3
      "this is not a setting\n"     // 4
      "fullscreen = maybe\n"        // 5
      "  fullscreen = yes\n"        // 6: indented is still a line of its own
      "zoom = 3\n"                  // 7
      "[sound]\n"                   // 8
      "music-volume = 101\n"        // 9
      "sfx-volume = 20 ; quieter\n" // 10
      "[keyboard]\n"                // 11
      "button1 = Z, Hyperspace\n"   // 12
      "button2 = Escape\n"          // 13
      "up = W\n"                    // 14
      "[controller]\n"              // 15
      "up = lefty\n"                // 16: a stick's side must be given
      "button1 = -lefttrigger\n"    // 17
      "[nowhere\n"                  // 18: never closed, so [controller] goes on
      "key = value\n"               // 19
      + std::string(300, 'x') + "\n"  // 20
      "[fixes]\r\n"                 // 21
      "mission-start-speed = yes\r\n";  // 22
  std::vector<std::string> problems;
  const GameSettings s = Read(text, &problems);
  std::vector<int> numbers;
  for (const std::string& p : problems) {
    numbers.push_back(std::atoi(p.c_str() + 5));
    EXPECT_EQ(p.rfind("line ", 0), 0u) << p;
    EXPECT_NE(p.find("; ignored"), std::string::npos) << p;
  }
  EXPECT_EQ(numbers, (std::vector<int>{4, 5, 7, 9, 12, 13, 16, 17, 18, 19, 20}));
  // The good lines hold, the bad ones left the defaults.
  EXPECT_EQ(std::tuple(s.options.scale, s.fullScreen, s.options.musicVolume, s.options.sfxVolume,
                       s.keys[0], s.keys[4], s.fixMissionStartSpeed),
            std::tuple(std::string("integer"), true, 100, 20, std::vector<int32_t>{'W'},
                       DefaultSettings().keys[4], true));
}

// main reads the file into the long options, then the command line over them.
TEST_F(Settings, TheCommandLineOverridesTheFileForOneRun) {
  std::vector<std::string> problems;
  GameSettings s = Read("[display]\nscale = integer\n[sound]\nmusic-volume = 10\nsfx-volume = 30\n"
                        "[general]\nlanguage = ja\n",
                        &problems);
  LongOptions options = s.options;
  const char* argv[] = {"zizid-ozavav", "--scale", "stretch", "--music-volume=70", "/F"};
  std::string switches, error;
  ASSERT_TRUE(SplitArguments(5, argv, &options, &switches, &error)) << error;
  EXPECT_EQ(std::tuple(options.scale, options.musicVolume, options.sfxVolume, options.language,
                       switches),
            std::tuple(std::string("stretch"), 70, 30, std::string("ja"), std::string("/F")));
}

TEST_F(Settings, KeptHighScoreRoundTripsAndADamagedFileIsRefused) {
  int32_t score = -1;
  std::string error;
  EXPECT_FALSE(LoadKeptHighScore(folder.string(), &score, &error));
  EXPECT_TRUE(error.empty());  // none yet is no error
  ASSERT_TRUE(SaveKeptHighScore(folder.string(), 2345, &error)) << error;
  ASSERT_TRUE(SaveKeptHighScore(folder.string(), 12345, &error)) << error;  // replaces the first
  EXPECT_TRUE(LoadKeptHighScore(folder.string(), &score, &error));
  EXPECT_EQ(score, 12345);
  for (const char* damaged : {"", "-5\n", "12x\n", "99999999999\n"}) {
    std::ofstream(folder / "hiscore") << damaged;
    score = -1;
    EXPECT_FALSE(LoadKeptHighScore(folder.string(), &score, &error)) << damaged;
    EXPECT_EQ(std::tuple(score, error.empty()), std::tuple(-1, false)) << damaged;
  }
}

// On a full disk the hi-score kept before stays whole: the new one is written beside it first.
TEST_F(Settings, AHighScoreTheDiskRefusesLeavesTheKeptOneWhole) {
  std::error_code ec;
  if (!std::filesystem::exists("/dev/full", ec)) GTEST_SKIP() << "no /dev/full here";
  std::string error;
  ASSERT_TRUE(SaveKeptHighScore(folder.string(), 5000, &error)) << error;
  std::filesystem::create_symlink("/dev/full", folder / "hiscore.new");
  EXPECT_FALSE(SaveKeptHighScore(folder.string(), 9000, &error));
  EXPECT_EQ(error, std::strerror(ENOSPC));
  int32_t score = -1;
  EXPECT_TRUE(LoadKeptHighScore(folder.string(), &score, &error)) << error;
  EXPECT_EQ(score, 5000);
}

// The bindings reach the game through the scripted keyboard and controller.
TEST_F(Settings, RemappedKeysAndControllerButtonsDriveTheGame) {
  std::vector<std::string> problems;
  const GameSettings s = Read(
      "[keyboard]\nbutton1 = A, Keypad 5\nup = W\npause = P, Q\nbutton4 = Q\n"
      "[controller]\nbutton1 = righttrigger\nup = +righty, y\nbutton8 = start\n",
      &problems);
  ASSERT_TRUE(problems.empty()) << problems.front();
  const std::vector<std::string> notes = ApplySettings(s);
  ASSERT_EQ(notes.size(), 1u);  // Q plays, so it does not pause
  EXPECT_NE(notes[0].find("Q"), std::string::npos);
  EXPECT_TRUE(IsPauseKey('P'));
  EXPECT_TRUE(IsPauseKey(VK_PAUSE));
  EXPECT_FALSE(IsPauseKey('Q'));
  JoystickInit();
  const std::pair<std::vector<int32_t>, uint32_t> keys[] = {
      {{'A'}, INPUT_BUTTON1},    {{0x65}, INPUT_BUTTON1}, {{'Z'}, 0},         {{VK_SPACE}, 0},
      {{'W'}, INPUT_UP},         {{VK_UP}, 0},            {{'Q'}, INPUT_BUTTON4},
      {{VK_ESCAPE}, INPUT_ESCAPE},  // Escape always quits
  };
  for (const auto& [held, bits] : keys) {
    FakeSystemReset();
    for (int32_t vk : held) FakeSetKeyHeld(vk, true);
    EXPECT_EQ(PadRead(nullptr), bits) << held[0];
  }
  FakeSystemReset();
  FakeSetJoystickCount(1);
  FakeSetJoystickCaps(JoystickCaps());
  JoystickInit();
  const auto pad = [](ControllerState state) {
    FakeSetJoystickPosition(ControllerPosition(state));
    return PadRead(nullptr);
  };
  // leftX, leftY, rightX, rightY, pressed, leftTrigger, rightTrigger
  EXPECT_EQ(pad({0, 0, 0, 0, 0, 0, 20000}), INPUT_BUTTON1);
  EXPECT_EQ(pad({0, 0, 0, 0, 0, 0, 10000}), 0u);  // not yet halfway
  EXPECT_EQ(pad({0, 0, 0, 0, CTRL_A, 0, 0}), 0u);
  EXPECT_EQ(pad({0, 0, 0, 30000, 0, 0, 0}), INPUT_UP);
  EXPECT_EQ(pad({0, -30000, 0, 0, 0, 0, 0}), 0u);  // the left stick no longer steers up
  EXPECT_EQ(pad({0, 0, 0, 0, CTRL_Y, 0, 0}), INPUT_UP | INPUT_BUTTON4);  // Y is button 4 as well
  EXPECT_EQ(pad({0, 0, 0, 0, CTRL_START, 0, 0}), INPUT_BUTTON8);
  EXPECT_FALSE(ControllerStartPauses());  // bound to a button, Start plays
  ApplySettings(DefaultSettings());
  EXPECT_TRUE(ControllerStartPauses());
  EXPECT_EQ(pad({0, 0, 0, 0, CTRL_START, 0, 0}), 0u);
}

TEST(ControllerNames, OnlySdlNamesAndGivenSidesAreBound) {
  const std::tuple<const char*, bool> cases[] = {
      {"a", true},           {"DpUp", true},          {"guide", true},        {"-leftx", true},
      {"+righty", true},     {"lefttrigger", true},   {"+righttrigger", true}, {"leftx", false},
      {"-lefttrigger", false}, {"button1", false},    {"", false},            {"+", false},
  };
  for (const auto& [name, ok] : cases) {
    ControllerBindings b{};
    EXPECT_EQ(AddControllerBinding(&b, 0, name), ok) << name;
  }
  ControllerBindings b{};
  EXPECT_FALSE(AddControllerBinding(&b, PAD_CONTROL_COUNT, "a"));
}

}  // namespace
