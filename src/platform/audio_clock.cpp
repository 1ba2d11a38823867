// The MIDI sequencer stepped from the audio callback, on the clock of the frames rendered.
#include "platform/audio_clock.h"

#include <algorithm>

void AudioClockStart(AudioClock* clock, int32_t rate) {
  clock->rate = std::max<int32_t>(rate, 1);
  clock->frames = 0;
}

uint64_t AudioClockMicros(const AudioClock* clock) {
  return clock->frames * 1000000 / static_cast<uint64_t>(clock->rate);
}

void AudioClockRender(AudioClock* clock, MidiSequencer* seq, float* out, int frames,
                      void (*render)(float* interleavedStereo, int frames)) {
  const uint64_t rate = static_cast<uint64_t>(clock->rate);
  int done = 0;
  while (done < frames) {
    MidiSeqAdvance(seq);
    int piece = std::min(frames - done, AUDIO_CLOCK_STEP_FRAMES);
    const uint64_t due = MidiSeqNextDue(seq);
    const uint64_t now = AudioClockMicros(clock);
    if (due != UINT64_MAX && due > now) {
      // Up to the frame the next event falls due on, rounded up so that it is due by then.
      const uint64_t untilDue = ((due - now) * rate + 999999) / 1000000;
      piece = static_cast<int>(std::clamp<uint64_t>(untilDue, 1, static_cast<uint64_t>(piece)));
    }
    render(out + 2 * static_cast<int64_t>(done), piece);
    clock->frames += static_cast<uint64_t>(piece);
    done += piece;
  }
}
