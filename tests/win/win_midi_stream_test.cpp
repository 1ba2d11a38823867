// The game's MIDI stream on a system stream: header matching and flags, buffers handed back on
// our thread (where the game may queue the next), and stop and close giving every buffer back.
#include "platform/win/win_midi_stream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// A system stream the test drives: buffers finish when the test says, on a thread of their own.
struct FakeHeader {
  char* data;
  uint32_t length;
  uintptr_t tag;
  uint32_t bytes = 0;
};
struct FakeSystem {
  std::mutex lock;
  bool refuseOpen = false;
  bool open = false;
  WinMidiDoneFn done = nullptr;
  uint32_t division = 0;
  std::vector<FakeHeader*> queued;
  int32_t prepared = 0, unprepared = 0, restarts = 0, resets = 0, closes = 0;
} Sys;

// Every queued buffer, or only the first, comes back from a system thread.
void FinishQueued(bool all) {
  std::vector<uintptr_t> tags;
  {
    std::lock_guard<std::mutex> g(Sys.lock);
    while (!Sys.queued.empty()) {
      tags.push_back(Sys.queued.front()->tag);
      Sys.queued.erase(Sys.queued.begin());
      if (!all) break;
    }
  }
  std::thread([tags] {
    for (uintptr_t tag : tags) Sys.done(tag);
  }).join();
}

const WinMidiSystem FakeTable = {
    [](WinMidiDoneFn done) {
      if (Sys.refuseOpen) return false;
      Sys.open = true;
      Sys.done = done;
      return true;
    },
    [](uint32_t division) {
      Sys.division = division;
      return true;
    },
    [](char* data, uint32_t length, uintptr_t tag) -> void* {
      ++Sys.prepared;
      return new FakeHeader{data, length, tag};
    },
    [](void* header, uint32_t bytes) {
      std::lock_guard<std::mutex> g(Sys.lock);
      static_cast<FakeHeader*>(header)->bytes = bytes;
      Sys.queued.push_back(static_cast<FakeHeader*>(header));
      return true;
    },
    [](void* header) {
      ++Sys.unprepared;
      delete static_cast<FakeHeader*>(header);
      return true;
    },
    [] { return ++Sys.restarts > 0; },
    [] {
      FinishQueued(true);
      return true;
    },
    [] { return ++Sys.resets > 0; },
    [] {
      ++Sys.closes;
      Sys.open = false;
      return true;
    },
    [](bool) { return true; },
};

// What the game's callback saw.
std::atomic<int32_t> Calls{0};
std::atomic<uint32_t> FlagsSeen{0};
std::atomic<bool> OnCallerThread{false};
std::thread::id CallerThread;
MIDIHDR* Requeue = nullptr;  // queued again from inside the callback when set

void Callback(uint32_t message, uintptr_t instance, MIDIHDR* header) {
  if (message != MOM_DONE || instance != 77) return;
  FlagsSeen = header->dwFlags;
  OnCallerThread = OnCallerThread || std::this_thread::get_id() == CallerThread;
  if (Requeue != nullptr) {
    MIDIHDR* again = Requeue;
    Requeue = nullptr;
    EXPECT_TRUE(WinStreamOut(again));
  }
  ++Calls;
}

class WinMidiStream : public ::testing::Test {
 protected:
  void SetUp() override {
    Sys.refuseOpen = false;
    Sys.queued.clear();
    Sys.prepared = Sys.unprepared = Sys.restarts = Sys.resets = Sys.closes = 0;
    Calls = 0;
    FlagsSeen = 0;
    OnCallerThread = false;
    CallerThread = std::this_thread::get_id();
    Requeue = nullptr;
    for (int i = 0; i < 2; ++i) {
      header[i] = MIDIHDR{};
      header[i].lpData = bytes[i];
      header[i].dwBufferLength = sizeof bytes[i];
      header[i].dwBytesRecorded = 24;
    }
    ASSERT_TRUE(WinStreamOpen(&FakeTable, Callback, 77));
  }
  void TearDown() override {
    if (WinStreamIsOpen()) {
      EXPECT_TRUE(WinStreamClose());
    }
  }
  // Waits (briefly) for the hand-back thread to tell the game.
  static bool CallsReach(int32_t n) {
    for (int i = 0; i < 2000 && Calls < n; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return Calls == n;
  }
  char bytes[2][48] = {};
  MIDIHDR header[2];
};

TEST_F(WinMidiStream, ARefusingSystemLeavesTheStreamClosedForTheBuiltInSynthesiser) {
  ASSERT_TRUE(WinStreamClose());
  Sys.refuseOpen = true;
  EXPECT_FALSE(WinStreamOpen(&FakeTable, Callback, 77));
  EXPECT_FALSE(WinStreamIsOpen());
  EXPECT_FALSE(WinStreamPrepare(&header[0]));
  EXPECT_FALSE(WinStreamOut(&header[0]));
  EXPECT_FALSE(WinStreamStop());
}

TEST_F(WinMidiStream, HeadersAreMatchedToTheSystemsOverTheSameBytesAndFlaggedAsTheGameExpects) {
  EXPECT_FALSE(WinStreamOut(&header[0])) << "not prepared";
  ASSERT_TRUE(WinStreamPrepare(&header[0]));
  ASSERT_TRUE(WinStreamPrepare(&header[0]));  // once is enough
  EXPECT_EQ(Sys.prepared, 1);
  EXPECT_EQ(header[0].dwFlags, MHDR_PREPARED);
  EXPECT_TRUE(WinStreamSetTimeDivision(480));
  EXPECT_EQ(Sys.division, 480u);
  EXPECT_FALSE(WinStreamSetTimeDivision(0));

  header[0].dwBytesRecorded = 49;
  EXPECT_FALSE(WinStreamOut(&header[0])) << "more recorded than the buffer holds";
  header[0].dwBytesRecorded = 24;
  header[0].dwFlags |= MHDR_DONE;
  ASSERT_TRUE(WinStreamOut(&header[0]));
  EXPECT_EQ(header[0].dwFlags, MHDR_PREPARED | MHDR_INQUEUE);
  ASSERT_EQ(Sys.queued.size(), 1u);
  EXPECT_EQ(Sys.queued[0]->data, bytes[0]);
  EXPECT_EQ(Sys.queued[0]->length, 48u);
  EXPECT_EQ(Sys.queued[0]->bytes, 24u);
  EXPECT_FALSE(WinStreamOut(&header[0])) << "already queued";
  EXPECT_FALSE(WinStreamUnprepare(&header[0])) << "still queued";

  FinishQueued(false);
  ASSERT_TRUE(CallsReach(1));
  EXPECT_EQ(FlagsSeen, MHDR_PREPARED | MHDR_DONE);
  EXPECT_FALSE(OnCallerThread);
  EXPECT_TRUE(WinStreamUnprepare(&header[0]));
  EXPECT_EQ(header[0].dwFlags, MHDR_DONE);
  EXPECT_EQ(Sys.unprepared, 1);
  EXPECT_FALSE(WinStreamUnprepare(&header[0])) << "no longer prepared";
}

// The music volume reaches the system as the notes' velocities, once per buffer that goes out.
TEST_F(WinMidiStream, TheMusicVolumeScalesTheVelocitiesTheSystemGets) {
  const MIDIEVENT note = {0, 0, 0x90u | 60u << 8 | 100u << 16};
  std::memcpy(bytes[0], &note, sizeof note);
  header[0].dwBytesRecorded = sizeof note;
  WinStreamSetVelocityPercent(40);
  ASSERT_TRUE(WinStreamPrepare(&header[0]));
  ASSERT_TRUE(WinStreamOut(&header[0]));
  WinStreamSetVelocityPercent(100);
  MIDIEVENT sent;
  std::memcpy(&sent, Sys.queued.at(0)->data, sizeof sent);
  EXPECT_EQ(sent.dwEvent, 0x90u | 60u << 8 | 40u << 16);
}

// The game refills a buffer from its callback, as the music player does.
TEST_F(WinMidiStream, TheCallbackMayQueueTheNextBuffer) {
  ASSERT_TRUE(WinStreamPrepare(&header[0]));
  ASSERT_TRUE(WinStreamPrepare(&header[1]));
  ASSERT_TRUE(WinStreamOut(&header[0]));
  ASSERT_TRUE(WinStreamRestart());
  Requeue = &header[1];
  FinishQueued(false);
  ASSERT_TRUE(CallsReach(1));
  EXPECT_EQ(Sys.queued.size(), 1u);
  EXPECT_EQ(header[1].dwFlags & MHDR_INQUEUE, MHDR_INQUEUE);
}

TEST_F(WinMidiStream, StopAndCloseHandEveryQueuedBufferBackBeforeTheyReturn) {
  for (MIDIHDR& h : header) {
    ASSERT_TRUE(WinStreamPrepare(&h));
    ASSERT_TRUE(WinStreamOut(&h));
  }
  ASSERT_TRUE(WinStreamStop());
  EXPECT_EQ(Calls, 2);
  EXPECT_TRUE(WinStreamReset());
  EXPECT_EQ(Sys.resets, 1);

  ASSERT_TRUE(WinStreamOut(&header[0]));
  ASSERT_TRUE(WinStreamClose());
  EXPECT_EQ(Calls, 3);
  EXPECT_EQ(Sys.unprepared, 2) << "close lets go of every system header";
  EXPECT_EQ(header[0].dwFlags & MHDR_PREPARED, 0u);
  EXPECT_EQ(Sys.closes, 1);
  EXPECT_FALSE(WinStreamIsOpen());
  // And the stream opens again for the next song.
  ASSERT_TRUE(WinStreamOpen(&FakeTable, Callback, 77));
  ASSERT_TRUE(WinStreamPrepare(&header[0]));
  ASSERT_TRUE(WinStreamOut(&header[0]));
  FinishQueued(false);
  EXPECT_TRUE(CallsReach(4));
}

}  // namespace
