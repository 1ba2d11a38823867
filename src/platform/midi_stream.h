// The MIDI stream sequencer: queued MIDIEVENT buffers played at their delta ticks against a clock
// it is given, each buffer handed back through the callback once played. Machine-independent;
// the machines give it a clock and a sink (the synthesiser) and decide which thread advances it.
#pragma once
#include <cstdint>
#include <deque>
#include <mutex>

#include "platform/platform.h"

constexpr uint32_t MIDI_DEFAULT_TEMPO = 500000;  // microseconds per quarter note
constexpr uint32_t MIDI_DEFAULT_DIVISION = 96;
constexpr uint32_t MEVT_F_LONG = 0x80000000u;  // the event carries parameter bytes
constexpr uint32_t MEVT_F_CALLBACK = 0x40000000u;
// The longest a machine's loop goes without looking at the stream again.
constexpr uint64_t MIDI_MAX_WAIT_MICROS = 1000000;

// Where played channel messages go: status | data1 << 8 | data2 << 16.
struct MidiSink {
  void (*shortMessage)(void* user, uint32_t message);
  void* user;
};

struct MidiSequencer {
  // Callbacks run one at a time, and Stop and Close wait for one in progress. Taken before
  // `lock`; recursive so that a callback may itself stop the stream.
  std::recursive_mutex callbackLock;
  std::mutex lock;  // guards everything below

  uint64_t (*clock)() = nullptr;  // microseconds, monotonic
  PlatformMidiCallback callback = nullptr;
  uintptr_t instance = 0;
  MidiSink sink = {nullptr, nullptr};
  bool open = false;
  bool running = false;
  bool paused = false;  // the clock is held: stream time stands still, nothing falls due

  // Microseconds of one tick = tickNumerator / tickDenominator.
  uint32_t division = MIDI_DEFAULT_DIVISION;
  uint32_t tempo = MIDI_DEFAULT_TEMPO;
  uint64_t tickNumerator = MIDI_DEFAULT_TEMPO;
  uint64_t tickDenominator = MIDI_DEFAULT_DIVISION;

  std::deque<MIDIHDR*> queue;
  uint64_t streamMicros = 0;  // stream time reached; stands still while stopped
  uint64_t lastClock = 0;     // clock reading that streamMicros was brought up to
  uint64_t eventMicros = 0;   // stream time of the last event played: base of the next delta
  uint64_t carry = 0;         // part of a microsecond left over from the last delta
};

// Scales the note-on velocities among the first `bytes` of a buffer's events to percent (0 to
// 100): the music volume for a synthesiser that has none of the game's own. Under the squared
// curve of General MIDI velocities the sound scales as the built-in synthesiser's does with the
// same setting. A note stays at least 1 (a note-on at 0 would end it) except at 0 %, where every
// note is silent.
void MidiScaleVelocities(char* data, uint32_t bytes, int32_t percent);

// Opens paused, with 500000 us per quarter note. False when already open.
bool MidiSeqOpen(MidiSequencer* s, uint64_t (*clock)(), MidiSink sink,
                 PlatformMidiCallback callback, uintptr_t instance);
// Ticks per quarter note, or SMPTE form (high byte -24, -25, -29 or -30; low byte ticks per
// frame). False for a division that gives no sensible tick length.
bool MidiSeqSetTimeDivision(MidiSequencer* s, uint32_t division);
bool MidiSeqPrepare(MidiSequencer* s, MIDIHDR* header);
bool MidiSeqUnprepare(MidiSequencer* s, MIDIHDR* header);  // false while queued
bool MidiSeqOut(MidiSequencer* s, MIDIHDR* header);        // needs a prepared header
bool MidiSeqRestart(MidiSequencer* s);
bool MidiSeqStop(MidiSequencer* s);   // hands every queued buffer back before it returns
bool MidiSeqReset(MidiSequencer* s);  // all notes off, sustain off, every channel
bool MidiSeqClose(MidiSequencer* s);  // hands back whatever is still queued
// Holds the stream where it is, or lets it go on from there: time spent paused does not count.
// Open, restart, stop and the queue work as ever while paused; only playing waits.
void MidiSeqPause(MidiSequencer* s, bool paused);
// Plays every event due by now and hands back the buffers that have finished, on the caller's
// thread. Returns how many buffers it handed back.
int32_t MidiSeqAdvance(MidiSequencer* s);
// Clock reading at which to look again: when the next event falls due, at most
// MIDI_MAX_WAIT_MICROS past the last reading; UINT64_MAX when nothing can play.
uint64_t MidiSeqNextDue(MidiSequencer* s);
// Stream time reached, in microseconds since the last restart from the beginning.
uint64_t MidiSeqStreamMicros(MidiSequencer* s);
