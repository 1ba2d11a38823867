// The score notation of the song generator: lengths, ties, chords, drums and the checks that
// keep a score honest.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/case_name.h"

// The generator is a program of its own; its notation is compiled in here to test it alone.
#include "../tools/assetgen/midi_writer.cpp"
#include "../tools/assetgen/score_notation.cpp"

namespace {

MidiSong Parse(const std::string& text) {
  MidiSong song;
  std::string error;
  EXPECT_TRUE(ParseScore(text, &song, &error)) << error;
  return song;
}

std::string ErrorOf(const std::string& text) {
  MidiSong song;
  std::string error;
  EXPECT_FALSE(ParseScore(text, &song, &error));
  return error;
}

const std::string kHead = "song tempo=120 time=4/4\n";

std::vector<int> Keys(const std::vector<MidiNote>& notes) {
  std::vector<int> keys;
  for (const MidiNote& n : notes) keys.push_back(n.key);
  return keys;
}

TEST(ScoreNotation, NotesTakeLengthsDotsOctavesAndGate) {
  const MidiSong s = Parse(kHead + "part p\n  o4 l8 q8 c d4. e16 f16 g4 a | o5 c2 > c4 < < b4 |\n");
  const auto& n = s.parts.at(0).notes;
  // Up an octave with '>', down two with '< <' to o4 b.
  EXPECT_EQ(Keys(n), (std::vector<int>{60, 62, 64, 65, 67, 69, 72, 84, 71}));
  ASSERT_EQ(n.size(), 9u);
  EXPECT_EQ(std::tuple(n[0].length, n[1].start, n[1].length, n[2].start, n[2].length),
            std::tuple(240u, 240u, 720u, 960u, 120u));
  EXPECT_EQ(s.lengthTicks, 2u * 1920);
}

TEST(ScoreNotation, GateShortensEachNoteAndTiesJoinThem) {
  const MidiSong s = Parse(kHead + "part p\n  q4 c2~ c4 d4 |\n");
  const auto& n = s.parts.at(0).notes;
  ASSERT_EQ(n.size(), 2u);
  EXPECT_EQ(n[0].length, 960u + 480 - 240);  // the gate trims only the tied note's last piece
  EXPECT_EQ(n[1].length, 240u);
}

TEST(ScoreNotation, AccidentalsTransposeAndVelocity) {
  const MidiSong s = Parse(kHead + "part p\n  o4 v90 c+ d- k+2 e !ff f |\n");
  const auto& n = s.parts.at(0).notes;
  EXPECT_EQ(Keys(n), (std::vector<int>{61, 61, 66, 67}));
  EXPECT_EQ(std::tuple(n.at(2).velocity, n.at(3).velocity), std::tuple(90, 115));
}

TEST(ScoreNotation, ChordSymbolsFoldIntoTheOctaveAboveC) {
  const MidiSong s = Parse(kHead + "part p\n  o4 {G7}2 {F#m}2 |\n");
  std::vector<int> chords[2];
  for (const MidiNote& n : s.parts.at(0).notes) chords[n.start / 960].push_back(n.key);
  for (auto& c : chords) std::sort(c.begin(), c.end());
  EXPECT_EQ(chords[0], (std::vector<int>{62, 65, 67, 71}));
  EXPECT_EQ(chords[1], (std::vector<int>{61, 66, 69}));
}

TEST(ScoreNotation, RepeatsAndDefinitionsUnroll) {
  const MidiSong s =
      Parse(kHead + "define riff\n  c4 d4 e4 f4\npart p\n  |: $riff :|3 [c e g]1 |\n");
  const auto& n = s.parts.at(0).notes;
  EXPECT_EQ(n.size(), 12u + 3);
  EXPECT_EQ(s.lengthTicks, 4u * 1920);
  EXPECT_EQ(n[4].start, 1920u);
}

TEST(ScoreNotation, DrumPatternsScaleWithDynamics) {
  const MidiSong s = Parse(kHead +
                           "pattern beat\n  kick X... ....\n  hat  x.x.x.x.\n"
                           "drums kit\n  !f beat !p beat -\n");
  const MidiPart& kit = s.parts.at(0);
  EXPECT_EQ(kit.channel, 9);
  EXPECT_EQ(s.lengthTicks, 3u * 1920);
  ASSERT_EQ(kit.notes.size(), 10u);
  EXPECT_EQ(std::tuple(kit.notes[0].key, kit.notes[0].velocity), std::tuple(36, 127));
  EXPECT_EQ(std::tuple(kit.notes[1].key, kit.notes[1].start, kit.notes[2].start),
            std::tuple(42, 0u, 480u));
  EXPECT_EQ(kit.notes[5].velocity, 127 * 55 / 100);
}

TEST(ScoreNotation, TempoIsRestatedEveryBarAndChangesWhereWritten) {
  const MidiSong s = Parse(kHead + "tempo bar=3 bpm=96\npart p\n  c1 | c1 | c1 |\n");
  ASSERT_EQ(s.tempos.size(), 4u);  // bars 1 to 3 and the loop point
  EXPECT_EQ(s.tempos[1].microsPerQuarter, 500000u);
  EXPECT_EQ(s.tempos[2].microsPerQuarter, 625000u);
  EXPECT_EQ(s.tempos[3].tick, 3u * 1920);
}

TEST(ScoreNotation, SongLevelScalesEveryPartsVolume) {
  const MidiSong s = Parse(
      "song tempo=120 level=50\npart a volume=100\n  c1 |\n"
      "part b channel=2 volume=31\n  c1 |\n");
  EXPECT_EQ(s.parts.at(0).volume, 50);
  EXPECT_EQ(s.parts.at(1).volume, 16);  // rounded to the nearest step
}

struct BadScore {
  const char* body;
  const char* says;
};

void PrintTo(const BadScore& b, std::ostream* os) { *os << b.says; }

class ScoreMistake : public ::testing::TestWithParam<BadScore> {};

TEST_P(ScoreMistake, IsReportedWithItsPlace) {
  const std::string error = ErrorOf(kHead + GetParam().body);
  EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, ScoreMistake,
    ::testing::Values(BadScore{"part p\n  c1 | c2 d4 e4 f4 |\n", "bar 2"},
                      BadScore{"part p\n  c2~ d2 |\n", "tie joins different"},
                      BadScore{"part p\n  c7 c1 |\n", "does not divide"},
                      BadScore{"part p\n  {Hm}1 |\n", "chord symbol"},
                      BadScore{"part p\n  $nothing |\n", "no definition"},
                      BadScore{"define a\n  $a\npart p\n  $a\n", "nest too deeply"},
                      BadScore{"part p\n  |: c1 |\n", "without its ':|'"},
                      BadScore{"part p\n  o9 a1 |\n", "MIDI range"},
                      BadScore{"part p\n  c1 |\npart q\n  c1 | c1 |\n", "the parts above"},
                      BadScore{"part p channel=10\n  c1 |\n", "channel 10 is for drums"},
                      BadScore{"pattern b\n  kick x.x.x.x\ndrums d\n  b\n", "does not split"},
                      BadScore{"tempo bar=2 bpm=500\npart p\n  c1 |\n", "bpm=500"}),
    [](const auto& info) { return CaseName(info.param.says); });

// Two notes of one key overlap, and a third runs past the loop point.
TEST(MidiWriter, EndsOverlappingNotesAndCutsThemAtTheLoop) {
  MidiSong song;
  song.lengthTicks = 1920;
  song.tempos = {{0, 500000}, {1920, 500000}};
  song.parts.resize(1);
  song.parts[0].notes = {{0, 960, 60, 100}, {480, 480, 60, 100}, {1440, 960, 62, 100}};
  const std::vector<uint8_t> b = EncodeMidiSong(song);
  // Walk the part track (the second), whose length fits in its last two bytes.
  size_t at = 14;
  at += 8 + (b[at + 4] << 24 | b[at + 5] << 16 | b[at + 6] << 8 | b[at + 7]);
  const size_t end = at + 8 + (b[at + 6] << 8 | b[at + 7]);
  uint32_t tick = 0;
  uint8_t running = 0;
  std::vector<std::tuple<uint32_t, int, int>> notes;  // tick, key, velocity
  for (at += 8; at < end;) {
    uint32_t delta = 0;
    do delta = delta << 7 | (b[at] & 0x7F);
    while (b[at++] & 0x80);
    tick += delta;
    if (b[at] == 0xFF) {
      at += 3 + b[at + 2];
      running = 0;
      continue;
    }
    if (b[at] & 0x80) running = b[at++];
    if ((running & 0xF0) == 0x90) notes.emplace_back(tick, b[at], b[at + 1]);
    at += (running & 0xE0) == 0xC0 ? 1 : 2;
  }
  const std::vector<std::tuple<uint32_t, int, int>> expected = {
      {0, 60, 100}, {480, 60, 0}, {480, 60, 100}, {960, 60, 0}, {1440, 62, 100}, {1920, 62, 0}};
  EXPECT_EQ(notes, expected);
}

}  // namespace
