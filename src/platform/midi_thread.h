// The MIDI stream sequencer on a thread of its own, against the steady clock: what every machine
// that plays the songs on a synthesiser of its own runs as its stand-in for the system's thread.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/midi_stream.h"

struct MidiThread {
  MidiSequencer seq;
  std::thread thread;
  std::mutex wakeLock;  // guards the two flags below
  std::condition_variable wake;
  bool wakeRequested = false;
  bool quitRequested = false;
};

uint64_t SteadyMicros();  // the sequencer's clock
// Opens the sequencer paused and starts its thread (ending one left from the last stream).
bool MidiThreadOpen(MidiThread* t, MidiSink sink, PlatformMidiCallback callback,
                    uintptr_t instance);
// The operations that give the sequencer something new to play wake its thread.
bool MidiThreadOut(MidiThread* t, MIDIHDR* header);
bool MidiThreadRestart(MidiThread* t);
void MidiThreadPause(MidiThread* t, bool paused);
// Closes the sequencer and ends its thread; from the thread's own callback, once that returns.
bool MidiThreadClose(MidiThread* t);
