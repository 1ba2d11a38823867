// The MIDI stream sequencer's thread: plays events as they fall due and hands buffers back.
#include "platform/midi_thread.h"

#include <algorithm>
#include <chrono>

namespace {

void Kick(MidiThread* t) {
  std::lock_guard<std::mutex> g(t->wakeLock);
  t->wakeRequested = true;
  t->wake.notify_one();
}

void SequencerLoop(MidiThread* t) {
  uint64_t lastHandBackStream = UINT64_MAX;
  for (;;) {
    if (MidiSeqAdvance(&t->seq) > 0) {
      // Buffers that take no time would come straight back for ever: give them a millisecond.
      const uint64_t stream = MidiSeqStreamMicros(&t->seq);
      if (stream == lastHandBackStream) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      lastHandBackStream = stream;
    }
    const uint64_t due = MidiSeqNextDue(&t->seq);
    std::unique_lock<std::mutex> lock(t->wakeLock);
    if (t->quitRequested) return;
    const auto woken = [t] { return t->wakeRequested || t->quitRequested; };
    if (due == UINT64_MAX) {
      t->wake.wait(lock, woken);
    } else {
      const uint64_t now = SteadyMicros();
      if (due > now) {
        // Bounded so that the conversion to the timer's nanoseconds can never overflow.
        const uint64_t wait = std::min(due - now, MIDI_MAX_WAIT_MICROS);
        t->wake.wait_for(lock, std::chrono::microseconds(wait), woken);
      }
    }
    t->wakeRequested = false;
  }
}

void StopThread(MidiThread* t) {
  if (!t->thread.joinable()) return;
  {
    std::lock_guard<std::mutex> g(t->wakeLock);
    t->quitRequested = true;
    t->wake.notify_one();
  }
  if (t->thread.get_id() == std::this_thread::get_id()) {
    t->thread.detach();  // closed from its own callback: it ends once the callback returns
  } else {
    t->thread.join();
  }
}

}  // namespace

uint64_t SteadyMicros() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

bool MidiThreadOpen(MidiThread* t, MidiSink sink, PlatformMidiCallback callback,
                    uintptr_t instance) {
  if (!MidiSeqOpen(&t->seq, SteadyMicros, sink, callback, instance)) return false;
  StopThread(t);
  {
    std::lock_guard<std::mutex> g(t->wakeLock);
    t->quitRequested = false;
    t->wakeRequested = false;
  }
  t->thread = std::thread(SequencerLoop, t);
  return true;
}

bool MidiThreadOut(MidiThread* t, MIDIHDR* header) {
  if (!MidiSeqOut(&t->seq, header)) return false;
  Kick(t);
  return true;
}

bool MidiThreadRestart(MidiThread* t) {
  if (!MidiSeqRestart(&t->seq)) return false;
  Kick(t);
  return true;
}

void MidiThreadPause(MidiThread* t, bool paused) {
  MidiSeqPause(&t->seq, paused);
  Kick(t);  // the thread sleeps for good while paused and looks again once resumed
}

bool MidiThreadClose(MidiThread* t) {
  if (!MidiSeqClose(&t->seq)) return false;
  StopThread(t);
  return true;
}
