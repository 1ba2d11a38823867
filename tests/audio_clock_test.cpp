// The sequencer stepped from the audio callback: notes sound at the frame they fall due on,
// whatever the callback's buffer size, and played buffers come back from within the render.
#include "platform/audio_clock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

AudioClock Clock;
uint64_t ReadClock() { return AudioClockMicros(&Clock); }

// Each note's frame: the clock's frame count when the synthesiser was told.
std::vector<uint64_t> NoteFrames;
void Sink(void*, uint32_t message) {
  if ((message & 0xF0) == 0x90) NoteFrames.push_back(Clock.frames);
}

int32_t Returned = 0;
void Callback(uint32_t message, uintptr_t, MIDIHDR*) {
  if (message == MOM_DONE) ++Returned;
}

// Marks every frame it is asked for, so that gaps and overlaps show; pieces stay short.
int LongestPiece = 0;
void Render(float* out, int frames) {
  LongestPiece = std::max(LongestPiece, frames);
  for (int i = 0; i < frames * 2; ++i) out[i] += 1.0f;
}

MIDIEVENT Note(uint32_t delta, uint32_t key) { return {delta, 0, 0x90u | key << 8 | 100u << 16}; }

TEST(AudioClock, NotesSoundOnTheirFrameWhateverTheBufferSize) {
  struct Case {
    int32_t rate;
    int bufferFrames;
  };
  // 96 ticks a quarter at 500000 us: a note every 48 ticks is one every quarter second.
  const std::vector<MIDIEVENT> events = {Note(0, 60), Note(48, 62), Note(48, 64), Note(48, 65)};
  for (const Case c : {Case{44100, 2048}, Case{48000, 4096}, Case{44100, 37}, Case{22050, 512}}) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz, buffers of " << c.bufferFrames);
    AudioClockStart(&Clock, c.rate);
    NoteFrames.clear();
    Returned = 0;
    LongestPiece = 0;
    MidiSequencer seq;
    ASSERT_TRUE(MidiSeqOpen(&seq, ReadClock, MidiSink{Sink, nullptr}, Callback, 0));
    std::vector<char> bytes(events.size() * sizeof(MIDIEVENT));
    std::memcpy(bytes.data(), events.data(), bytes.size());
    MIDIHDR header{};
    header.lpData = bytes.data();
    header.dwBufferLength = header.dwBytesRecorded = static_cast<uint32_t>(bytes.size());
    ASSERT_TRUE(MidiSeqPrepare(&seq, &header));
    ASSERT_TRUE(MidiSeqOut(&seq, &header));
    ASSERT_TRUE(MidiSeqRestart(&seq));

    const int total = c.rate;  // one second
    std::vector<float> out(static_cast<size_t>(total) * 2 + c.bufferFrames * 2, 0.0f);
    for (int done = 0; done < total; done += c.bufferFrames)
      AudioClockRender(&Clock, &seq, out.data() + 2 * done, c.bufferFrames, Render);

    ASSERT_EQ(NoteFrames.size(), 4u);
    for (size_t i = 0; i < NoteFrames.size(); ++i) {
      const uint64_t due = static_cast<uint64_t>(c.rate) * i / 4;
      EXPECT_GE(NoteFrames[i], due) << "note " << i << " early";
      EXPECT_LE(NoteFrames[i], due + 1) << "note " << i << " late";
    }
    EXPECT_EQ(Returned, 1) << "the played buffer comes back from the render";
    EXPECT_LE(LongestPiece, AUDIO_CLOCK_STEP_FRAMES);
    for (size_t i = 0; i < out.size() - c.bufferFrames * 2; ++i)
      ASSERT_EQ(out[i], 1.0f) << "sample " << i << " rendered once";
    MidiSeqClose(&seq);
  }
}

}  // namespace
