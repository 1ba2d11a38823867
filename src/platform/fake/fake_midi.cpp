// Scripted machine: the MIDI stream on a clock the test moves, and the auto-reset signal.
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "platform/fake/fake_platform.h"
#include "platform/midi_stream.h"
#include "platform/platform.h"

namespace {

MidiSequencer Seq;
std::atomic<uint64_t> ClockMicros{0};
std::mutex RecordLock;  // guards the record and the failures
std::vector<FakeMidiMessage> Messages;
FakeMidiFailures Failures;
int32_t OpenCount = 0;
int32_t OutCount = 0;
uint32_t Division = 0;
std::atomic<int32_t> Timeouts{0};
std::atomic<uint64_t> TimedOutMillis{0};

uint64_t ReadClock() { return ClockMicros.load(); }

void Record(void*, uint32_t message) {
  std::lock_guard<std::mutex> g(RecordLock);
  Messages.push_back({ClockMicros.load(), message});
}

bool Refused(bool FakeMidiFailures::*which) {
  std::lock_guard<std::mutex> g(RecordLock);
  return Failures.*which;
}

}  // namespace

struct PlatformSignal {
  std::mutex lock;
  std::condition_variable changed;
  bool set = false;
};

void FakeMidiResetAll() {
  MidiSeqClose(&Seq);
  MidiSeqPause(&Seq, false);
  ClockMicros.store(0);
  std::lock_guard<std::mutex> g(RecordLock);
  Messages.clear();
  Failures = FakeMidiFailures{};
  OpenCount = 0;
  OutCount = 0;
  Division = 0;
  Timeouts.store(0);
  TimedOutMillis.store(0);
}


void FakeMidiAdvance(uint32_t millis) { FakeMidiAdvanceMicros(uint64_t{millis} * 1000); }

// Steps event by event so that every message is stamped with the time it fell due.
void FakeMidiAdvanceMicros(uint64_t micros) {
  const uint64_t end = ClockMicros.load() + micros;
  int32_t roundsWithoutTime = 0;
  for (;;) {
    const uint64_t due = MidiSeqNextDue(&Seq);
    if (due > end) break;
    if (due > ClockMicros.load()) {
      ClockMicros.store(due);
      roundsWithoutTime = 0;
    } else if (++roundsWithoutTime > 64) {
      break;  // buffers that take no time at all, handed back and sent again without end
    }
    MidiSeqAdvance(&Seq);
  }
  ClockMicros.store(end);
  MidiSeqAdvance(&Seq);
}

uint64_t FakeMidiClockMicros() { return ClockMicros.load(); }

void FakeMidiHold(bool paused) { MidiSeqPause(&Seq, paused); }

std::vector<FakeMidiMessage> FakeMidiMessages() {
  std::lock_guard<std::mutex> g(RecordLock);
  return Messages;
}

void FakeMidiClearMessages() {
  std::lock_guard<std::mutex> g(RecordLock);
  Messages.clear();
}

void FakeMidiFail(const FakeMidiFailures& failures) {
  std::lock_guard<std::mutex> g(RecordLock);
  Failures = failures;
}

bool FakeMidiIsOpen() {
  std::lock_guard<std::mutex> g(Seq.lock);
  return Seq.open;
}

int32_t FakeMidiOpenCount() {
  std::lock_guard<std::mutex> g(RecordLock);
  return OpenCount;
}

int32_t FakeMidiOutCount() {
  std::lock_guard<std::mutex> g(RecordLock);
  return OutCount;
}

int32_t FakeMidiQueued() {
  std::lock_guard<std::mutex> g(Seq.lock);
  return static_cast<int32_t>(Seq.queue.size());
}

uint32_t FakeMidiTimeDivision() {
  std::lock_guard<std::mutex> g(RecordLock);
  return Division;
}

uint64_t FakeMidiStreamMicros() { return MidiSeqStreamMicros(&Seq); }

int32_t FakeSignalTimeouts() { return Timeouts.load(); }

uint64_t FakeSignalTimedOutMillis() { return TimedOutMillis.load(); }

bool PlatformMidiOpen(PlatformMidiCallback callback, uintptr_t instance) {
  if (Refused(&FakeMidiFailures::open)) return false;
  if (!MidiSeqOpen(&Seq, ReadClock, MidiSink{Record, nullptr}, callback, instance)) return false;
  std::lock_guard<std::mutex> g(RecordLock);
  ++OpenCount;
  return true;
}

bool PlatformMidiSetTimeDivision(uint32_t ticksPerQuarter) {
  if (Refused(&FakeMidiFailures::timeDivision)) return false;
  if (!MidiSeqSetTimeDivision(&Seq, ticksPerQuarter)) return false;
  std::lock_guard<std::mutex> g(RecordLock);
  Division = ticksPerQuarter;
  return true;
}

bool PlatformMidiPrepare(MIDIHDR* header) { return MidiSeqPrepare(&Seq, header); }

bool PlatformMidiUnprepare(MIDIHDR* header) { return MidiSeqUnprepare(&Seq, header); }

bool PlatformMidiOut(MIDIHDR* header) {
  {
    std::lock_guard<std::mutex> g(RecordLock);
    if (Failures.out) return false;
    if (Failures.outAfter >= 0) {
      if (Failures.outAfter == 0) return false;
      --Failures.outAfter;
    }
  }
  if (!MidiSeqOut(&Seq, header)) return false;
  std::lock_guard<std::mutex> g(RecordLock);
  ++OutCount;
  return true;
}

bool PlatformMidiRestart() {
  if (Refused(&FakeMidiFailures::restart)) return false;
  return MidiSeqRestart(&Seq);
}

bool PlatformMidiStop() {
  if (Refused(&FakeMidiFailures::stop)) return false;
  return MidiSeqStop(&Seq);
}

bool PlatformMidiReset() {
  if (Refused(&FakeMidiFailures::reset)) return false;
  return MidiSeqReset(&Seq);
}

bool PlatformMidiClose() { return MidiSeqClose(&Seq); }

PlatformSignal* PlatformSignalCreate(const char*) { return new PlatformSignal; }

void PlatformSignalSet(PlatformSignal* s) {
  std::lock_guard<std::mutex> g(s->lock);
  s->set = true;
  s->changed.notify_all();
}

// A wait that would time out spends its time on the scripted clock instead of sleeping.
bool PlatformSignalWait(PlatformSignal* s, uint32_t timeoutMs) {
  std::unique_lock<std::mutex> g(s->lock);
  if (s->set) {
    s->set = false;
    return true;
  }
  g.unlock();
  Timeouts.fetch_add(1);
  TimedOutMillis.fetch_add(timeoutMs);
  FakeAdvanceMicros(uint64_t{timeoutMs} * 1000);
  return false;
}

void PlatformSignalDestroy(PlatformSignal* s) { delete s; }
