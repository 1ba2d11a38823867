// The MIDI stream sequencer on a clock the test holds: timing, tempo, hand-back, stop, reset.
#include "platform/midi_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "support/case_name.h"

namespace {

uint64_t TestClock = 0;
uint64_t ReadTestClock() { return TestClock; }

struct Played {
  uint64_t micros;
  uint32_t message;
};
std::vector<Played> Sent;
void Sink(void*, uint32_t message) { Sent.push_back({TestClock, message}); }

std::vector<MIDIHDR*> Returned;
MidiSequencer* Requeue = nullptr;  // when set, each returned buffer is queued again
void Callback(uint32_t message, uintptr_t, MIDIHDR* h) {
  if (message != MOM_DONE) return;
  Returned.push_back(h);
  if (Requeue != nullptr) MidiSeqOut(Requeue, h);
}

// A buffer of short messages and tempo changes, prepared for the stream.
struct Buffer {
  std::vector<MIDIEVENT> events;
  std::vector<char> bytes;
  MIDIHDR header{};
  Buffer(MidiSequencer* s, std::vector<MIDIEVENT> list) : events(std::move(list)) {
    bytes.resize(events.size() * sizeof(MIDIEVENT) + 1);
    if (!events.empty())
      std::memcpy(bytes.data(), events.data(), events.size() * sizeof(MIDIEVENT));
    header.lpData = bytes.data();
    header.dwBufferLength = static_cast<uint32_t>(bytes.size());
    header.dwBytesRecorded = static_cast<uint32_t>(events.size() * sizeof(MIDIEVENT));
    EXPECT_TRUE(MidiSeqPrepare(s, &header));
  }
};

MIDIEVENT Note(uint32_t delta, uint32_t key) { return {delta, 0, 0x90u | key << 8 | 100u << 16}; }
MIDIEVENT Tempo(uint32_t delta, uint32_t micros) { return {delta, 0, micros | MEVT_TEMPO << 24}; }

class Sequencer : public testing::Test {
 protected:
  void SetUp() override {
    TestClock = 1000000;  // any start: times count from the restart
    Sent.clear();
    Returned.clear();
    Requeue = nullptr;
    ASSERT_TRUE(MidiSeqOpen(&seq_, ReadTestClock, MidiSink{Sink, nullptr}, Callback, 0));
  }
  void TearDown() override {
    Requeue = nullptr;
    MidiSeqClose(&seq_);
  }

  // Moves the clock to each due event in turn, as a sequencer thread would, up to `micros`.
  void RunFor(uint64_t micros) {
    const uint64_t end = TestClock + micros;
    for (int32_t guard = 0; guard < 100000; ++guard) {
      const uint64_t due = MidiSeqNextDue(&seq_);
      if (due > end) break;
      TestClock = std::max(TestClock, due);
      MidiSeqAdvance(&seq_);
    }
    TestClock = end;
    MidiSeqAdvance(&seq_);
  }

  std::vector<uint64_t> SentTimes(uint64_t start) {
    std::vector<uint64_t> t;
    for (const Played& p : Sent) t.push_back(p.micros - start);
    return t;
  }

  MidiSequencer seq_;
};

TEST_F(Sequencer, OpensPausedAndPlaysOnlyAfterRestart) {
  Buffer b(&seq_, {Note(0, 60)});
  ASSERT_TRUE(MidiSeqOut(&seq_, &b.header));
  RunFor(5000000);
  EXPECT_TRUE(Sent.empty());
  EXPECT_TRUE(Returned.empty());
  ASSERT_TRUE(MidiSeqRestart(&seq_));
  RunFor(0);
  EXPECT_EQ(Sent.size(), 1u);
  EXPECT_EQ(Returned, std::vector<MIDIHDR*>{&b.header});
  EXPECT_EQ(b.header.dwFlags & (MHDR_DONE | MHDR_INQUEUE), MHDR_DONE);
}

struct TimingCase {
  const char* what;
  uint32_t division;
  std::vector<MIDIEVENT> events;
  std::vector<uint64_t> micros;  // when each note sounds, from the restart
};

void PrintTo(const TimingCase& c, std::ostream* os) { *os << c.what; }

class SequencerTiming : public Sequencer, public testing::WithParamInterface<TimingCase> {};

TEST_P(SequencerTiming, NotesSoundAtTheirTicksAtTheCurrentTempo) {
  const TimingCase& c = GetParam();
  ASSERT_TRUE(MidiSeqSetTimeDivision(&seq_, c.division));
  Buffer b(&seq_, c.events);
  ASSERT_TRUE(MidiSeqOut(&seq_, &b.header));
  ASSERT_TRUE(MidiSeqRestart(&seq_));
  const uint64_t start = TestClock;
  RunFor(60000000);
  EXPECT_EQ(SentTimes(start), c.micros) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SequencerTiming,
    testing::Values(
        TimingCase{"default tempo: half a second a quarter",
                   96,
                   {Note(0, 1), Note(96, 2), Note(48, 3)},
                   {0, 500000, 750000}},
        TimingCase{
            "a tempo event changes later notes only",
            480,
            {Note(240, 1), Tempo(0, 1000000), Note(480, 2), Tempo(240, 250000), Note(480, 3)},
            {250000, 1250000, 1250000 + 500000 + 250000}},
        TimingCase{"a tempo of 0 is ignored", 100, {Tempo(0, 0), Note(100, 1)}, {500000}},
        TimingCase{"fractions of a microsecond carry over",
                   3,
                   {Tempo(0, 1000), Note(1, 1), Note(1, 2), Note(1, 3)},
                   {333, 666, 1000}},
        TimingCase{"SMPTE 25 frames of 40 ticks: a tick is a millisecond whatever the tempo",
                   0xE728,
                   {Note(10, 1), Tempo(0, 100), Note(1000, 2)},
                   {10000, 1010000}},
        TimingCase{"SMPTE 29.97 frames of 100 ticks",
                   0xE364,
                   {Note(2997, 1)},
                   {2997ull * 1001000000 / (30000 * 100)}}),
    [](const auto& info) { return CaseName(info.param.what); });

TEST_F(Sequencer, RefusesDivisionsWithoutATickLength) {
  for (uint32_t division : {0u, 0x10000u, 0xE900u, 0xE700u, 0xE628u}) {
    EXPECT_FALSE(MidiSeqSetTimeDivision(&seq_, division)) << std::hex << division;
  }
}

TEST_F(Sequencer, HandsBackEachBufferOnceItsLastEventHasPlayed) {
  Buffer a(&seq_, {Note(0, 1), Note(96, 2)});
  Buffer b(&seq_, {Note(96, 3)});
  ASSERT_TRUE(MidiSeqOut(&seq_, &a.header));
  ASSERT_TRUE(MidiSeqOut(&seq_, &b.header));
  ASSERT_TRUE(MidiSeqRestart(&seq_));
  RunFor(499999);
  EXPECT_TRUE(Returned.empty());
  RunFor(1);
  EXPECT_EQ(Returned, std::vector<MIDIHDR*>{&a.header});
  EXPECT_EQ(MidiSeqNextDue(&seq_), TestClock + 500000) << "b's delta counts from a's last note";
  RunFor(500000);
  EXPECT_EQ(Returned.size(), 2u);
}

TEST_F(Sequencer, BufferQueuedAgainFromTheCallbackPlaysWithoutAGap) {
  Buffer a(&seq_, {Note(48, 1), Note(48, 2)});
  Requeue = &seq_;
  ASSERT_TRUE(MidiSeqOut(&seq_, &a.header));
  ASSERT_TRUE(MidiSeqRestart(&seq_));
  const uint64_t start = TestClock;
  RunFor(1000000);
  EXPECT_EQ(SentTimes(start), (std::vector<uint64_t>{250000, 500000, 750000, 1000000}));
  Requeue = nullptr;
  MidiSeqStop(&seq_);
}

TEST_F(Sequencer, StopHandsBackEveryQueuedBufferAtOnceAndSilences) {
  Buffer a(&seq_, {Note(0, 1), Note(960, 2)});
  Buffer b(&seq_, {Note(960, 3)});
  ASSERT_TRUE(MidiSeqOut(&seq_, &a.header));
  ASSERT_TRUE(MidiSeqOut(&seq_, &b.header));
  ASSERT_TRUE(MidiSeqRestart(&seq_));
  RunFor(1000);
  Sent.clear();
  ASSERT_TRUE(MidiSeqStop(&seq_));
  ASSERT_EQ(Returned, (std::vector<MIDIHDR*>{&a.header, &b.header}));
  for (const MIDIHDR* h : Returned) EXPECT_EQ(h->dwFlags & (MHDR_DONE | MHDR_INQUEUE), MHDR_DONE);
  EXPECT_EQ(Sent.size(), 16u) << "all notes off on every channel";
  EXPECT_EQ(MidiSeqNextDue(&seq_), UINT64_MAX);
  RunFor(10000000);
  EXPECT_EQ(Returned.size(), 2u);
}

TEST_F(Sequencer, ResetTurnsOffNotesAndSustainOnEveryChannel) {
  ASSERT_TRUE(MidiSeqReset(&seq_));
  std::vector<uint32_t> expected;
  for (uint32_t ch = 0; ch < 16; ++ch) expected.push_back((0xB0 | ch) | 123u << 8);
  for (uint32_t ch = 0; ch < 16; ++ch) expected.push_back((0xB0 | ch) | 64u << 8);
  std::vector<uint32_t> got;
  for (const Played& p : Sent) got.push_back(p.message);
  EXPECT_EQ(got, expected);
}

TEST_F(Sequencer, HeadersMustBePreparedAndCannotBeReleasedWhileQueued) {
  MIDIHDR raw{};
  std::vector<char> bytes(12);
  raw.lpData = bytes.data();
  raw.dwBufferLength = 12;
  EXPECT_FALSE(MidiSeqOut(&seq_, &raw));
  Buffer b(&seq_, {Note(0, 1)});
  b.header.dwBytesRecorded = b.header.dwBufferLength + 1;
  EXPECT_FALSE(MidiSeqOut(&seq_, &b.header)) << "more recorded than the buffer holds";
  b.header.dwBytesRecorded = 12;
  ASSERT_TRUE(MidiSeqOut(&seq_, &b.header));
  EXPECT_FALSE(MidiSeqOut(&seq_, &b.header)) << "already queued";
  EXPECT_FALSE(MidiSeqUnprepare(&seq_, &b.header));
  ASSERT_TRUE(MidiSeqStop(&seq_));
  EXPECT_TRUE(MidiSeqUnprepare(&seq_, &b.header));
}

TEST_F(Sequencer, CloseHandsBackWhatIsQueuedAndRefusesLaterCalls) {
  Buffer b(&seq_, {Note(0, 1)});
  ASSERT_TRUE(MidiSeqOut(&seq_, &b.header));
  ASSERT_TRUE(MidiSeqClose(&seq_));
  EXPECT_EQ(Returned.size(), 1u);
  EXPECT_FALSE(MidiSeqRestart(&seq_));
  EXPECT_FALSE(MidiSeqOut(&seq_, &b.header));
  EXPECT_FALSE(MidiSeqStop(&seq_));
  EXPECT_FALSE(MidiSeqClose(&seq_));
}

TEST_F(Sequencer, EmptyBufferComesBackAsSoonAsItIsReached) {
  Buffer empty(&seq_, {});
  ASSERT_TRUE(MidiSeqOut(&seq_, &empty.header));
  ASSERT_TRUE(MidiSeqRestart(&seq_));
  EXPECT_EQ(MidiSeqAdvance(&seq_), 1);
}

}  // namespace
