// The score notation of the song generator: lengths, ties, chords, drums and the checks that
// keep a score honest.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "midi_writer.h"
#include "score_notation.h"

namespace {

MidiSong Parse(const std::string& text) {
  MidiSong song;
  std::string error;
  EXPECT_TRUE(ParseScore(text, &song, &error)) << error;
  return song;
}

const std::string HEAD = "song tempo=120 time=4/4\n";

// The notes of a part as "key@start+length", "!velocity" added where it is not the default 85,
// ordered by start and key.
std::string Describe(std::vector<MidiNote> notes) {
  std::sort(notes.begin(), notes.end(), [](const MidiNote& a, const MidiNote& b) {
    return std::tuple(a.start, a.key) < std::tuple(b.start, b.key);
  });
  std::string out;
  for (const MidiNote& n : notes) {
    out += (out.empty() ? "" : " ") + std::to_string(n.key) + "@" + std::to_string(n.start) + "+" +
           std::to_string(n.length) + (n.velocity == 85 ? "" : "!" + std::to_string(n.velocity));
  }
  return out;
}

struct NotesCase {
  const char* score;  // after the song line
  const char* notes;
};

void PrintTo(const NotesCase& c, std::ostream* os) { *os << c.score; }

class ScoreNotes : public ::testing::TestWithParam<NotesCase> {};

TEST_P(ScoreNotes, BecomeTheseNotes) {
  const MidiSong s = Parse(HEAD + GetParam().score);
  EXPECT_EQ(Describe(s.parts.at(0).notes), GetParam().notes);
}

INSTANTIATE_TEST_SUITE_P(
    Notation, ScoreNotes,
    ::testing::Values(
        // Lengths, dots, octaves: '>' goes up one, '< <' down two, to o4 b.
        NotesCase{"part p\n  o4 l8 q8 c d4. e16 f16 g4 a | o5 c2 > c4 < < b4 |\n",
                  "60@0+240 62@240+720 64@960+120 65@1080+120 67@1200+480 69@1680+240 "
                  "72@1920+960 84@2880+480 71@3360+480"},
        // The gate trims only a tied note's last piece.
        NotesCase{"part p\n  q4 c2~ c4 d4 |\n", "60@0+1200 62@1440+240"},
        NotesCase{"part p\n  o4 q8 v90 c+ d- k+2 e !ff f |\n",
                  "61@0+480!90 61@480+480!90 66@960+480!90 67@1440+480!115"},
        // Chord symbols are voiced in the octave above C.
        NotesCase{"part p\n  o4 q8 {G7}2 {F#m}2 |\n",
                  "62@0+960 65@0+960 67@0+960 71@0+960 61@960+960 66@960+960 69@960+960"},
        NotesCase{"define riff\n  c4 r4\npart p\n  o4 q8 |: $riff r2 :|2 [c e g]1 |\n",
                  "60@0+480 60@1920+480 60@3840+1920 64@3840+1920 67@3840+1920"},
        // Drum hits are short; a dynamic scales the pattern's accents and hits; '-' is a rest.
        NotesCase{
            "pattern beat\n  kick X... ....\n  hat  x.x.x.x.\ndrums kit\n  !f beat !p beat -\n",
            "36@0+60!127 42@0+60!100 42@480+60!100 42@960+60!100 42@1440+60!100 "
            "36@1920+60!69 42@1920+60!55 42@2400+60!55 42@2880+60!55 42@3360+60!55"},
        // The beat weighs the downbeat most, then the middle, then beats, then off-beats;
        // '^' and '_' lift and drop one note.
        NotesCase{"part p beat=8\n  o4 q8 l8 c d e f g a ^b _c |\n",
                  "60@0+240!93 62@240+240!81 64@480+240 65@720+240!81 67@960+240!89 "
                  "69@1200+240!81 71@1440+240!101 60@1680+240!65"},
        // Four-bar phrases grow to their third bar and settle on the fourth.
        NotesCase{"part p phrase=8\n  q8 c1 | c1 | c1 | c1 | c1 |\n",
                  "60@0+1920 60@1920+1920!89 60@3840+1920!93 60@5760+1920!87 60@7680+1920"},
        // A pushed row plays early (never before the song starts), a laid-back one late.
        NotesCase{"pattern p\n  snare+8 ..x.\n  hat-4 x.x.\ndrums kit beat=10\n  p\n",
                  "42@0+60!110 42@956+60!105 38@968+60!105"}));

// Expression is what the listener hears as breath: a long note swells from the part's level to
// full and eases back, a short one plays full, and a part that shapes its expression starts
// every pass of the loop at full.
TEST(ScoreNotation, LongNotesSwellAndShortOnesPlayFull) {
  const MidiSong s = Parse(HEAD + "part p swell=64\n  q8 c2 d4 e4 |\n");
  const std::vector<MidiControl>& c = s.parts.at(0).controls;
  ASSERT_GE(c.size(), 4u);
  EXPECT_EQ(c.front().tick, 0u);
  EXPECT_EQ(c.front().value, 64);
  const auto top =
      std::max_element(c.begin(), c.end(), [](auto& a, auto& b) { return a.value < b.value; });
  EXPECT_EQ(top->value, 127);
  EXPECT_TRUE(std::is_sorted(c.begin(), top, [](auto& a, auto& b) { return a.value < b.value; }));
  EXPECT_LT(top->tick, 960u * 7 / 10);
  EXPECT_GT(c[c.size() - 2].value, 64) << "eases back, but not to the start";
  EXPECT_EQ(c.back().tick, 960u) << "the short notes play at full, set once";
  EXPECT_EQ(c.back().value, 127);
  for (const MidiControl& m : c) EXPECT_EQ(m.controller, 11);

  const MidiSong x = Parse(HEAD + "part p\n  c2 x40 c2 |\n");
  ASSERT_EQ(x.parts.at(0).controls.size(), 2u);
  EXPECT_EQ(x.parts.at(0).controls[0].value, 127);
  EXPECT_EQ(x.parts.at(0).controls[1].tick, 960u);
  EXPECT_EQ(x.parts.at(0).controls[1].value, 40);
}

TEST(ScoreNotation, TempoIsRestatedEveryBarAndChangesWhereWritten) {
  const MidiSong s = Parse(HEAD + "tempo bar=3 bpm=96\npart p\n  c1 | c1 | c1 |\n");
  ASSERT_EQ(s.tempos.size(), 4u);  // bars 1 to 3 and the loop point
  EXPECT_EQ(s.tempos[1].microsPerQuarter, 500000u);
  EXPECT_EQ(s.tempos[2].microsPerQuarter, 625000u);
  EXPECT_EQ(s.tempos[3].tick, 3u * 1920);
}

struct BadScore {
  const char* body;
  const char* says;
};

void PrintTo(const BadScore& c, std::ostream* os) { *os << c.says; }

class ScoreMistake : public ::testing::TestWithParam<BadScore> {};

TEST_P(ScoreMistake, IsReportedWithItsPlace) {
  MidiSong song;
  std::string error;
  EXPECT_FALSE(ParseScore(HEAD + GetParam().body, &song, &error));
  EXPECT_NE(error.find(GetParam().says), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, ScoreMistake,
    ::testing::Values(BadScore{"part p\n  c1 | c2 d4 e4 f4 |\n", "bar 2"},
                      BadScore{"part p\n  c7 c1 |\n", "does not divide"},
                      BadScore{"define a\n  $a\npart p\n  $a\n", "nest too deeply"},
                      BadScore{"part p\n  |: c1 |\n", "without its ':|'"},
                      BadScore{"part p\n  c1 |\npart q\n  c1 | c1 |\n", "the parts above"},
                      BadScore{"part p\n  c2~ x40 c2 |\n", "expression inside a tie"},
                      BadScore{"pattern a\n  kick+90 x...\n", "more than 60 ticks"}));

// A key struck again ends its sounding note, a key struck twice at once sounds once, and nothing
// sounds past the loop point.
TEST(MidiWriter, UntanglesNotesOfOneKeyAndCutsThemAtTheLoop) {
  const std::vector<MidiNote> in = {{0, 960, 60, 99},
                                    {0, 240, 60, 90},
                                    {480, 480, 60, 99},
                                    {1440, 960, 62, 99},
                                    {1920, 9, 64, 9}};
  EXPECT_EQ(Describe(UntangledNotes(in, 1920)), "60@0+480!99 60@480+480!99 62@1440+480!99");
}

}  // namespace
