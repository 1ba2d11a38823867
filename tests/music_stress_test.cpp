// Hundreds of play, stop and tempo requests while another thread plays the stream.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/music_fixture.h"

namespace {

using MusicStress = MusicFixture;

TEST_F(MusicStress, RequestsRaceTheCallbackThreadWithoutLosingABuffer) {
  for (int32_t n = 0; n < 3; ++n) PutSong(n, EvenSong(static_cast<uint8_t>(30 + 20 * n), 6));
  std::atomic<bool> done{false};
  std::atomic<int32_t> rounds{0};
  // Small steps so that refills fall between, and during, the game thread's requests.
  std::thread stream([&] {
    while (!done.load()) {
      FakeMidiAdvanceMicros(3000);
      rounds.fetch_add(1);
    }
  });
  for (int32_t i = 0; i < 400; ++i) {
    SetMusicTempo(i % 2 == 0 ? 100 : 130);
    EXPECT_EQ(PlayMusicTrack(i % 3), 1) << i;
    const int32_t seen = rounds.load();
    while (rounds.load() < seen + (i % 4)) std::this_thread::yield();
    if (i % 5 == 0) StopMusicTrack();
  }
  StopMusicTrack();
  done.store(true);
  stream.join();
  // Every stop found both buffers back: none waited for its time-out.
  EXPECT_EQ(FakeSignalTimeouts(), 0);
  EXPECT_FALSE(FakeMidiIsOpen());
  EXPECT_EQ(FakeMidiQueued(), 0);
  EXPECT_EQ(SongLoaded, 0);
  EXPECT_EQ(FakeMidiOpenCount(), 400);
  // Only the plays followed by two rounds are sure of a whole step of their own (half of them),
  // and each such step sounds the song's first note; the others race and may sound nothing.
  EXPECT_GE(NotesOn().size(), 200u);
}

}  // namespace
