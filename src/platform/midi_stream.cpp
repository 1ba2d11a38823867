// The MIDI stream sequencer: buffer queue, tick timing, tempo events and buffer hand-back.
#include "platform/midi_stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/midi_controllers.h"

namespace {

constexpr uint32_t CHANNELS = 16;

// A tick's length as a fraction of microseconds, from the division and the tempo.
void SetTickLength(MidiSequencer* s) {
  if ((s->division & 0x8000u) == 0) {
    s->tickNumerator = s->tempo;
    s->tickDenominator = s->division;
  } else {
    // SMPTE: ticks are real time, the tempo plays no part. 29 stands for 29.97 frames a second.
    const uint32_t fps = 256 - ((s->division >> 8) & 0xFF);
    const uint32_t ticksPerFrame = s->division & 0xFF;
    s->tickNumerator = fps == 29 ? 1001000000ull : 1000000ull;
    s->tickDenominator = fps == 29 ? 30000ull * ticksPerFrame : uint64_t{fps} * ticksPerFrame;
  }
  s->carry = 0;
}

void SendAllChannels(MidiSequencer* s, uint32_t controller, uint32_t value) {
  if (s->sink.shortMessage == nullptr) return;
  for (uint32_t ch = 0; ch < CHANNELS; ++ch) {
    s->sink.shortMessage(s->sink.user, (0xB0 | ch) | controller << 8 | value << 16);
  }
}

// Bytes one event occupies in a buffer: 12, plus its parameters rounded to whole words.
uint32_t EventBytes(uint32_t event) {
  if ((event & MEVT_F_LONG) == 0) return 12;
  return 12 + (((event & 0xFFFFFF) + 3) & ~3u);
}

void MarkDone(MIDIHDR* h) { h->dwFlags = (h->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE; }

void PlayEvent(MidiSequencer* s, uint32_t event) {
  const uint32_t type = (event >> 24) & 0x3F;  // without the long and callback flags
  if ((event & MEVT_F_LONG) != 0) return;      // no long messages reach a synthesiser here
  if (type == MEVT_SHORTMSG) {
    if (s->sink.shortMessage != nullptr) s->sink.shortMessage(s->sink.user, event & 0xFFFFFF);
  } else if (type == MEVT_TEMPO) {
    // A tempo of 0 would make every later event due at once, for ever: keep the old one.
    const uint32_t tempo = event & 0xFFFFFF;
    if (tempo != 0) {
      s->tempo = tempo;
      if ((s->division & 0x8000u) == 0) SetTickLength(s);
    }
  }
}

// Finished buffers and whom to tell, taken under the lock and handed back outside it.
struct HandBackList {
  std::vector<MIDIHDR*> headers;
  PlatformMidiCallback callback = nullptr;
  uintptr_t instance = 0;
};

void HandBack(const HandBackList& done) {
  if (done.callback == nullptr) return;
  for (MIDIHDR* h : done.headers) done.callback(MOM_DONE, done.instance, h);
}

void TakeCallback(MidiSequencer* s, HandBackList* done) {
  done->callback = s->callback;
  done->instance = s->instance;
}

// Moves the stream time on to the clock and plays what is due; collects finished buffers.
void PlayDue(MidiSequencer* s, HandBackList* done) {
  TakeCallback(s, done);
  if (s->running && !s->paused) {
    const uint64_t now = s->clock();
    if (now > s->lastClock) s->streamMicros += now - s->lastClock;
    s->lastClock = now;
  }
  while (!s->queue.empty()) {
    MIDIHDR* h = s->queue.front();
    if (h->dwOffset + 12 > h->dwBytesRecorded) {
      s->queue.pop_front();
      MarkDone(h);
      done->headers.push_back(h);
      continue;
    }
    if (!s->running || s->paused) break;
    MIDIEVENT ev;
    std::memcpy(&ev, h->lpData + h->dwOffset, sizeof ev);
    const uint64_t total = uint64_t{ev.dwDeltaTime} * s->tickNumerator + s->carry;
    const uint64_t due = s->eventMicros + total / s->tickDenominator;
    if (due > s->streamMicros) break;
    s->eventMicros = due;
    s->carry = total % s->tickDenominator;
    PlayEvent(s, ev.dwEvent);
    h->dwOffset += EventBytes(ev.dwEvent);
  }
}

// Empties the queue into `done` and silences what was sounding; the position goes back to 0.
void StopLocked(MidiSequencer* s, HandBackList* done) {
  TakeCallback(s, done);
  for (MIDIHDR* h : s->queue) {
    MarkDone(h);
    done->headers.push_back(h);
  }
  s->queue.clear();
  s->running = false;
  s->streamMicros = 0;
  s->eventMicros = 0;
  s->carry = 0;
  SendAllChannels(s, CC_ALL_NOTES_OFF, 0);
}

}  // namespace

bool MidiSeqOpen(MidiSequencer* s, uint64_t (*clock)(), MidiSink sink,
                 PlatformMidiCallback callback, uintptr_t instance) {
  std::lock_guard<std::mutex> g(s->lock);
  if (s->open || clock == nullptr) return false;
  s->clock = clock;
  s->sink = sink;
  s->callback = callback;
  s->instance = instance;
  s->open = true;
  s->running = false;
  s->division = MIDI_DEFAULT_DIVISION;
  s->tempo = MIDI_DEFAULT_TEMPO;
  SetTickLength(s);
  s->queue.clear();
  s->streamMicros = 0;
  s->eventMicros = 0;
  s->lastClock = clock();
  return true;
}

bool MidiSeqSetTimeDivision(MidiSequencer* s, uint32_t division) {
  std::lock_guard<std::mutex> g(s->lock);
  if (!s->open || division == 0 || division > 0xFFFF) return false;
  if ((division & 0x8000u) != 0) {
    const uint32_t fps = 256 - ((division >> 8) & 0xFF);
    if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || (division & 0xFF) == 0) return false;
  }
  s->division = division;
  SetTickLength(s);
  return true;
}

bool MidiSeqPrepare(MidiSequencer* s, MIDIHDR* header) {
  std::lock_guard<std::mutex> g(s->lock);
  if (!s->open || header == nullptr || header->lpData == nullptr) return false;
  header->dwFlags |= MHDR_PREPARED;
  return true;
}

bool MidiSeqUnprepare(MidiSequencer* s, MIDIHDR* header) {
  std::lock_guard<std::mutex> g(s->lock);
  if (!s->open || header == nullptr || (header->dwFlags & MHDR_INQUEUE) != 0) return false;
  header->dwFlags &= ~MHDR_PREPARED;
  return true;
}

bool MidiSeqOut(MidiSequencer* s, MIDIHDR* header) {
  std::lock_guard<std::mutex> g(s->lock);
  if (!s->open || header == nullptr || (header->dwFlags & MHDR_PREPARED) == 0 ||
      (header->dwFlags & MHDR_INQUEUE) != 0 || header->dwBytesRecorded > header->dwBufferLength) {
    return false;
  }
  header->dwOffset = 0;
  header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
  s->queue.push_back(header);
  return true;
}

bool MidiSeqRestart(MidiSequencer* s) {
  std::lock_guard<std::mutex> g(s->lock);
  if (!s->open) return false;
  if (!s->running) {
    s->running = true;
    s->lastClock = s->clock();
  }
  return true;
}

void MidiSeqPause(MidiSequencer* s, bool paused) {
  std::lock_guard<std::mutex> g(s->lock);
  if (paused == s->paused) return;
  s->paused = paused;
  // The stream takes up from the time it reached; the clock's reading now is the new base.
  if (!paused && s->open) s->lastClock = s->clock();
}

bool MidiSeqStop(MidiSequencer* s) {
  HandBackList done;
  std::lock_guard<std::recursive_mutex> cb(s->callbackLock);
  {
    std::lock_guard<std::mutex> g(s->lock);
    if (!s->open) return false;
    StopLocked(s, &done);
  }
  HandBack(done);
  return true;
}

bool MidiSeqReset(MidiSequencer* s) {
  std::lock_guard<std::mutex> g(s->lock);
  if (!s->open) return false;
  SendAllChannels(s, CC_ALL_NOTES_OFF, 0);
  SendAllChannels(s, CC_SUSTAIN, 0);  // pedal up
  return true;
}

bool MidiSeqClose(MidiSequencer* s) {
  HandBackList done;
  std::lock_guard<std::recursive_mutex> cb(s->callbackLock);
  {
    std::lock_guard<std::mutex> g(s->lock);
    if (!s->open) return false;
    s->open = false;  // a callback cannot queue anything on a stream being closed
    StopLocked(s, &done);
  }
  HandBack(done);
  std::lock_guard<std::mutex> g(s->lock);
  s->callback = nullptr;
  s->sink = {nullptr, nullptr};
  return true;
}

int32_t MidiSeqAdvance(MidiSequencer* s) {
  HandBackList done;
  std::lock_guard<std::recursive_mutex> cb(s->callbackLock);
  {
    std::lock_guard<std::mutex> g(s->lock);
    if (!s->open) return 0;
    PlayDue(s, &done);
  }
  HandBack(done);
  return static_cast<int32_t>(done.headers.size());
}

uint64_t MidiSeqNextDue(MidiSequencer* s) {
  std::lock_guard<std::mutex> g(s->lock);
  if (!s->open || !s->running || s->queue.empty()) return UINT64_MAX;
  const MIDIHDR* h = s->queue.front();
  if (s->paused && h->dwOffset + 12 <= h->dwBytesRecorded) return UINT64_MAX;
  if (h->dwOffset + 12 > h->dwBytesRecorded) return s->lastClock;
  MIDIEVENT ev;
  std::memcpy(&ev, h->lpData + h->dwOffset, sizeof ev);
  const uint64_t total = uint64_t{ev.dwDeltaTime} * s->tickNumerator + s->carry;
  const uint64_t due = s->eventMicros + total / s->tickDenominator;
  if (due <= s->streamMicros) return s->lastClock;
  // A crafted song can put its next event ages away: callers would wait past any timer's range.
  return s->lastClock + std::min(due - s->streamMicros, MIDI_MAX_WAIT_MICROS);
}

uint64_t MidiSeqStreamMicros(MidiSequencer* s) {
  std::lock_guard<std::mutex> g(s->lock);
  return s->streamMicros;
}

void MidiScaleVelocities(char* data, uint32_t bytes, int32_t percent) {
  percent = std::clamp(percent, 0, 100);
  if (data == nullptr || percent == 100) return;
  for (uint32_t at = 0; at + 12 <= bytes;) {
    MIDIEVENT ev;
    std::memcpy(&ev, data + at, sizeof ev);
    const uint32_t velocity = (ev.dwEvent >> 16) & 0x7F;
    const bool noteOn = (ev.dwEvent & (MEVT_F_LONG | 0x3F000000u)) == 0 &&
                        (ev.dwEvent & 0xF0) == 0x90 && velocity != 0;
    if (noteOn) {
      uint32_t scaled = (velocity * static_cast<uint32_t>(percent) + 50) / 100;
      if (percent > 0) scaled = std::max(scaled, 1u);
      ev.dwEvent = (ev.dwEvent & ~0x7F0000u) | scaled << 16;
      std::memcpy(data + at, &ev, sizeof ev);
    }
    at += EventBytes(ev.dwEvent);
  }
}
