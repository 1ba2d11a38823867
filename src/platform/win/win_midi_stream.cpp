// The game's MIDI stream on a system MIDI stream: header matching, flags and the hand-back thread.
#include "platform/win/win_midi_stream.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "platform/midi_stream.h"

namespace {

// The system hands stopped buffers back on its own thread; a stop waits this long for them.
constexpr std::chrono::milliseconds HAND_BACK_PATIENCE(2000);

struct StreamState {
  std::mutex lock;  // guards everything below
  std::condition_variable changed;
  const WinMidiSystem* system = nullptr;
  PlatformMidiCallback callback = nullptr;
  uintptr_t instance = 0;
  std::map<MIDIHDR*, void*> prepared;  // the game's header and the system's over the same bytes
  std::deque<MIDIHDR*> finished;       // played, not yet handed to the game
  int32_t outstanding = 0;             // queued with the system or waiting in `finished`
  int32_t velocityPercent = 100;
  bool quit = false;
  std::thread handBack;
};
// Lives until the process ends, so a late system callback never finds it gone.
StreamState& State = *new StreamState;

void MarkDone(MIDIHDR* h) { h->dwFlags = (h->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE; }

// The system's callback thread: only notes the buffer; the game hears of it on our thread.
void SystemDone(uintptr_t tag) {
  std::lock_guard<std::mutex> g(State.lock);
  auto* header = reinterpret_cast<MIDIHDR*>(tag);
  MarkDone(header);
  State.finished.push_back(header);
  State.changed.notify_all();
}

// Our hand-back thread: the game's callback, one buffer at a time, outside the lock so that it
// may queue the next buffer.
void HandBackLoop() {
  std::unique_lock<std::mutex> g(State.lock);
  for (;;) {
    State.changed.wait(g, [] { return State.quit || !State.finished.empty(); });
    if (State.finished.empty()) return;  // quit, with nothing left to hand back
    MIDIHDR* header = State.finished.front();
    State.finished.pop_front();
    const PlatformMidiCallback callback = State.callback;
    const uintptr_t instance = State.instance;
    g.unlock();
    if (callback != nullptr) callback(MOM_DONE, instance, header);
    g.lock();
    --State.outstanding;
    State.changed.notify_all();
  }
}

// Waits until the game has every queued buffer back; from the hand-back thread itself (a callback
// that stops the stream) the wait could never end, so only the system's part is waited for there.
bool WaitForHandBack(std::unique_lock<std::mutex>& g) {
  const bool onHandBack = std::this_thread::get_id() == State.handBack.get_id();
  return State.changed.wait_for(g, HAND_BACK_PATIENCE, [onHandBack] {
    return onHandBack ? State.outstanding <= static_cast<int32_t>(State.finished.size()) + 1
                      : State.outstanding == 0;
  });
}

void StopHandBackThread() {
  {
    std::lock_guard<std::mutex> g(State.lock);
    State.quit = true;
    State.changed.notify_all();
  }
  if (!State.handBack.joinable()) return;
  if (State.handBack.get_id() == std::this_thread::get_id()) {
    State.handBack.detach();  // closed from its own callback: it ends once that returns
  } else {
    State.handBack.join();
  }
}

}  // namespace

bool WinStreamOpen(const WinMidiSystem* system, PlatformMidiCallback callback, uintptr_t instance) {
  std::unique_lock<std::mutex> g(State.lock);
  if (State.system != nullptr || system == nullptr || !system->open(SystemDone)) return false;
  State.system = system;
  State.callback = callback;
  State.instance = instance;
  State.prepared.clear();
  State.finished.clear();
  State.outstanding = 0;
  State.quit = false;
  g.unlock();
  if (State.handBack.joinable()) State.handBack.join();  // the last stream's, already ending
  State.handBack = std::thread(HandBackLoop);
  return true;
}

bool WinStreamIsOpen() {
  std::lock_guard<std::mutex> g(State.lock);
  return State.system != nullptr;
}

bool WinStreamSetTimeDivision(uint32_t division) {
  std::lock_guard<std::mutex> g(State.lock);
  return State.system != nullptr && division != 0 && division <= 0xFFFF &&
         State.system->setTimeDivision(division);
}

bool WinStreamPrepare(MIDIHDR* header) {
  std::lock_guard<std::mutex> g(State.lock);
  if (State.system == nullptr || header == nullptr || header->lpData == nullptr) return false;
  if (State.prepared.count(header) != 0) return true;  // already matched to a system header
  void* system = State.system->prepare(header->lpData, header->dwBufferLength,
                                       reinterpret_cast<uintptr_t>(header));
  if (system == nullptr) return false;
  State.prepared[header] = system;
  header->dwFlags |= MHDR_PREPARED;
  return true;
}

bool WinStreamUnprepare(MIDIHDR* header) {
  std::lock_guard<std::mutex> g(State.lock);
  if (State.system == nullptr || header == nullptr || (header->dwFlags & MHDR_INQUEUE) != 0) {
    return false;
  }
  const auto found = State.prepared.find(header);
  if (found == State.prepared.end()) return false;
  if (!State.system->unprepare(found->second)) return false;
  State.prepared.erase(found);
  header->dwFlags &= ~MHDR_PREPARED;
  return true;
}

bool WinStreamOut(MIDIHDR* header) {
  std::unique_lock<std::mutex> g(State.lock);
  if (State.system == nullptr || header == nullptr) return false;
  const auto found = State.prepared.find(header);
  if (found == State.prepared.end() || (header->dwFlags & MHDR_INQUEUE) != 0 ||
      header->dwBytesRecorded > header->dwBufferLength) {
    return false;
  }
  // The game encodes every buffer afresh before it goes out, so it is scaled only once.
  MidiScaleVelocities(header->lpData, header->dwBytesRecorded, State.velocityPercent);
  header->dwOffset = 0;
  header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
  ++State.outstanding;
  const WinMidiSystem* system = State.system;
  void* systemHeader = found->second;
  g.unlock();  // a system may hand a buffer back before its out returns
  if (system->out(systemHeader, header->dwBytesRecorded)) return true;
  g.lock();
  header->dwFlags &= ~MHDR_INQUEUE;
  --State.outstanding;
  return false;
}

void WinStreamSetVelocityPercent(int32_t percent) {
  std::lock_guard<std::mutex> g(State.lock);
  State.velocityPercent = percent;
}

bool WinStreamPause(bool paused) {
  return State.system != nullptr && State.system->pause != nullptr && State.system->pause(paused);
}

bool WinStreamRestart() {
  std::lock_guard<std::mutex> g(State.lock);
  return State.system != nullptr && State.system->restart();
}

bool WinStreamStop() {
  std::unique_lock<std::mutex> g(State.lock);
  if (State.system == nullptr) return false;
  // The system calls back from its own thread, which may wait for our lock meanwhile.
  const WinMidiSystem* system = State.system;
  g.unlock();
  const bool stopped = system->stop();
  g.lock();
  return WaitForHandBack(g) && stopped;
}

bool WinStreamReset() {
  std::unique_lock<std::mutex> g(State.lock);
  const WinMidiSystem* system = State.system;
  g.unlock();
  return system != nullptr && system->reset();
}

bool WinStreamClose() {
  // A system that keeps a buffer past the stop's patience is closed all the same: the game is
  // done with the stream either way.
  if (!WinStreamIsOpen()) return false;
  WinStreamStop();
  std::map<MIDIHDR*, void*> prepared;
  const WinMidiSystem* system = nullptr;
  {
    std::lock_guard<std::mutex> g(State.lock);
    prepared.swap(State.prepared);
    system = State.system;
    State.system = nullptr;
  }
  if (system == nullptr) return false;  // closed meanwhile by another thread
  // Outside the lock: closing may wait for the system's thread, which may wait for the lock.
  for (const auto& [header, systemHeader] : prepared) {
    system->unprepare(systemHeader);
    header->dwFlags &= ~MHDR_PREPARED;
  }
  system->close();
  StopHandBackThread();
  return true;
}
