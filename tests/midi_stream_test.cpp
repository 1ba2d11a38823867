// The MIDI stream sequencer on a clock the test holds: timing, tempo, refusals. Hand-back, refills
// from the callback and stops are played through the music player's tests, which run it too.
#include "platform/midi_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

uint64_t TestClock = 0;
uint64_t ReadTestClock() { return TestClock; }

std::vector<std::pair<uint64_t, uint32_t>> Sent;  // (clock, message)
void Sink(void*, uint32_t message) { Sent.emplace_back(TestClock, message); }

std::vector<MIDIHDR*> Returned;
void Callback(uint32_t message, uintptr_t, MIDIHDR* h) {
  if (message == MOM_DONE) Returned.push_back(h);
}

// A buffer of short messages and tempo changes, prepared for the stream.
struct Buffer {
  std::vector<char> bytes;
  MIDIHDR header{};
  Buffer(MidiSequencer* s, const std::vector<MIDIEVENT>& events) {
    bytes.resize(events.size() * sizeof(MIDIEVENT) + 1);
    if (!events.empty()) std::memcpy(bytes.data(), events.data(), bytes.size() - 1);
    header.lpData = bytes.data();
    header.dwBufferLength = static_cast<uint32_t>(bytes.size());
    header.dwBytesRecorded = static_cast<uint32_t>(bytes.size() - 1);
    EXPECT_TRUE(MidiSeqPrepare(s, &header));
  }
};

MIDIEVENT Note(uint32_t delta, uint32_t key) { return {delta, 0, 0x90u | key << 8 | 100u << 16}; }
MIDIEVENT Tempo(uint32_t delta, uint32_t micros) { return {delta, 0, micros | MEVT_TEMPO << 24}; }

class Sequencer : public testing::Test {
 protected:
  void SetUp() override {
    TestClock = 1000000;
    Sent.clear();
    Returned.clear();
    ASSERT_TRUE(MidiSeqOpen(&seq_, ReadTestClock, MidiSink{Sink, nullptr}, Callback, 0));
  }
  void TearDown() override { MidiSeqClose(&seq_); }
  // Moves the clock to each due event in turn, as a sequencer thread would, up to `micros`.
  void RunFor(uint64_t micros) {
    const uint64_t end = TestClock + micros;
    for (int32_t guard = 0; guard < 100000; ++guard) {
      const uint64_t due = MidiSeqNextDue(&seq_);
      if (due != UINT64_MAX) {
        EXPECT_LE(due, TestClock + MIDI_MAX_WAIT_MICROS) << "looks again soon";
      }
      if (due > end) break;
      TestClock = std::max(TestClock, due);
      MidiSeqAdvance(&seq_);
    }
    TestClock = end;
    MidiSeqAdvance(&seq_);
  }

  MidiSequencer seq_;
};

TEST_F(Sequencer, NotesSoundAtTheirTicksAtTheCurrentTempo) {
  struct Case {
    const char* what;
    uint32_t division;
    std::vector<MIDIEVENT> events;
    std::vector<uint64_t> micros;  // when each note sounds, from the restart
  };
  const Case cases[] = {
      {"a tempo event changes later notes only; half a second a quarter before any",
       480,
       {Note(240, 1), Tempo(0, 1000000), Note(480, 2), Tempo(240, 250000), Note(480, 3)},
       {250000, 1250000, 1250000 + 500000 + 250000}},
      {"a tempo of 0 is ignored", 100, {Tempo(0, 0), Note(100, 1)}, {500000}},
      {"fractions of a microsecond carry over",
       3,
       {Tempo(0, 1000), Note(1, 1), Note(1, 2), Note(1, 3)},
       {333, 666, 1000}},
      {"SMPTE 25 frames of 40 ticks: a millisecond a tick whatever the tempo",
       0xE728,
       {Note(10, 1), Tempo(0, 100), Note(1000, 2)},
       {10000, 1010000}},
      {"a note seconds away sounds on time", 1, {Note(6, 1)}, {3000000}},
      {"a delta of ages at the slowest tempo, one tick a quarter",
       1,
       {Tempo(0, 0xFFFFFF), Note(0xFFFFFFFF, 1)},
       {}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(MidiSeqSetTimeDivision(&seq_, c.division));
    Buffer b(&seq_, c.events);
    ASSERT_TRUE(MidiSeqOut(&seq_, &b.header));
    ASSERT_TRUE(MidiSeqRestart(&seq_));
    RunFor(60000000);
    std::vector<uint64_t> times;  // from the restart
    for (const auto& [micros, message] : Sent) times.push_back(micros - 1000000);
    EXPECT_EQ(times, c.micros) << c.what;
    MidiSeqClose(&seq_);  // hands back the buffer, still queued when a note never came
    SetUp();
  }
  for (uint32_t division : {0u, 0x10000u, 0xE900u, 0xE700u, 0xE628u}) {
    EXPECT_FALSE(MidiSeqSetTimeDivision(&seq_, division)) << "no tick length: " << division;
  }
}

TEST_F(Sequencer, RefusesUnpreparedOverfullOrRequeuedHeadersAndCallsAfterClose) {
  Buffer b(&seq_, {Note(0, 1)});
  ASSERT_TRUE(MidiSeqUnprepare(&seq_, &b.header));
  EXPECT_FALSE(MidiSeqOut(&seq_, &b.header)) << "not prepared";
  ASSERT_TRUE(MidiSeqPrepare(&seq_, &b.header));
  b.header.dwBytesRecorded = b.header.dwBufferLength + 1;
  EXPECT_FALSE(MidiSeqOut(&seq_, &b.header)) << "more recorded than the buffer holds";
  b.header.dwBytesRecorded = 12;
  ASSERT_TRUE(MidiSeqOut(&seq_, &b.header));
  EXPECT_FALSE(MidiSeqOut(&seq_, &b.header)) << "already queued";
  EXPECT_FALSE(MidiSeqUnprepare(&seq_, &b.header));
  ASSERT_TRUE(MidiSeqClose(&seq_));
  EXPECT_EQ(Returned, std::vector<MIDIHDR*>{&b.header}) << "close hands back what is queued";
  EXPECT_FALSE(MidiSeqRestart(&seq_));
  EXPECT_FALSE(MidiSeqOut(&seq_, &b.header));
  EXPECT_FALSE(MidiSeqClose(&seq_));
}

}  // namespace

// A pause holds the stream where it is: nothing sounds meanwhile however long it lasts, and
// afterwards each note keeps the distance in stream time it had. Stop and restart still work.
TEST_F(Sequencer, PauseHoldsTheStreamAndResumesWhereItStopped) {
  ASSERT_TRUE(MidiSeqSetTimeDivision(&seq_, 1000));  // a millisecond a tick at 1 s a quarter
  Buffer b(&seq_, {Tempo(0, 1000000), Note(100, 1), Note(100, 2), Note(100, 3)});
  ASSERT_TRUE(MidiSeqOut(&seq_, &b.header));
  ASSERT_TRUE(MidiSeqRestart(&seq_));
  RunFor(150000);  // note 1 at 100 ms; note 2 due in 50 ms
  MidiSeqPause(&seq_, true);
  MidiSeqPause(&seq_, true);  // twice is once
  EXPECT_EQ(MidiSeqNextDue(&seq_), UINT64_MAX) << "a paused stream has nothing to wait for";
  RunFor(10000000);
  ASSERT_EQ(Sent.size(), 1u) << "nothing sounds while paused";
  EXPECT_EQ(MidiSeqStreamMicros(&seq_), 150000u);
  const uint64_t resumed = TestClock;
  MidiSeqPause(&seq_, false);
  RunFor(1000000);
  ASSERT_EQ(Sent.size(), 3u);
  EXPECT_EQ(Sent[1].first - resumed, 50000u);
  EXPECT_EQ(Sent[2].first - resumed, 150000u);
  EXPECT_EQ(Returned.size(), 1u);

  // Paused, a stop still hands everything back at once and a later restart waits for the resume.
  Buffer again(&seq_, {Note(10, 4)});
  MidiSeqPause(&seq_, true);
  ASSERT_TRUE(MidiSeqOut(&seq_, &again.header));
  ASSERT_TRUE(MidiSeqStop(&seq_));
  EXPECT_EQ(Returned.size(), 2u);
  ASSERT_TRUE(MidiSeqOut(&seq_, &again.header));
  ASSERT_TRUE(MidiSeqRestart(&seq_));
  RunFor(1000000);
  const auto notes = [] {
    return std::count_if(Sent.begin(), Sent.end(),
                         [](auto& m) { return (m.second & 0xF0) == 0x90; });
  };
  EXPECT_EQ(notes(), 3);
  MidiSeqPause(&seq_, false);
  RunFor(1000000);
  EXPECT_EQ(notes(), 4);
  EXPECT_EQ(Sent.back().second & 0xFF00, 4u << 8);
}

// The music volume on a synthesiser without one of the game's: note-on velocities only, a note
// never turned into a note-off above 0 %, and a long event's parameter bytes left alone even
// where they look like a note.
TEST(MidiVelocities, OnlyNoteOnsAreScaledAndLongEventsAreSkippedWhole) {
  struct Case {
    int32_t percent;
    uint32_t loud, soft;  // what velocities 100 and 1 become
  };
  for (const Case c :
       {Case{100, 100, 1}, Case{50, 50, 1}, Case{10, 10, 1}, Case{0, 0, 0}, Case{150, 100, 1}}) {
    const MIDIEVENT disguised = {0, 0, 0x90u | 60u << 8 | 100u << 16};
    const std::vector<MIDIEVENT> before = {
        {0, 0, 0x90u | 60u << 8 | 100u << 16},  // note on
        {0, 0, 0x99u | 36u << 8 | 1u << 16},    // drum note on, the softest
        {0, 0, 0x90u | 60u << 8},               // note on at 0: a note off
        {0, 0, 0x80u | 60u << 8 | 64u << 16},   // note off
        {0, 0, 0xB0u | 7u << 8 | 100u << 16},   // channel volume
        {0, 0, MEVT_F_LONG | static_cast<uint32_t>(sizeof disguised)},
        disguised,                                       // the long event's parameters
        {0, 0, MEVT_TEMPO << 24 | 0x90u | 100u << 16}};  // a tempo, not a note
    std::vector<MIDIEVENT> events = before;
    const auto bytes = static_cast<uint32_t>(events.size() * sizeof(MIDIEVENT));
    MidiScaleVelocities(reinterpret_cast<char*>(events.data()), bytes, c.percent);
    std::vector<MIDIEVENT> want = before;
    want[0].dwEvent = 0x90u | 60u << 8 | c.loud << 16;
    want[1].dwEvent = 0x99u | 36u << 8 | c.soft << 16;
    for (size_t i = 0; i < events.size(); ++i)
      EXPECT_EQ(events[i].dwEvent, want[i].dwEvent) << c.percent << "% event " << i;
  }
}
