// The music player on the scripted stream: refills, looping, stops, bad songs, racing requests.
#include "music/music_player.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>
#include <tuple>

#include "platform/fake/fake_platform.h"
#include "support/smf_builder.h"

namespace {

constexpr size_t npos = std::string::npos;

// 96 ticks a quarter at 0.5 s: notes every 24 ticks (NOTE_MICROS) on keys first, first+1, ...
constexpr uint64_t NOTE_MICROS = 125000;
std::vector<uint8_t> EvenSong(uint8_t firstKey, int32_t notes) {
  SmfTrack t;
  t.Tempo(0, 500000);
  for (int32_t i = 0; i < notes; ++i) t.Note(i == 0 ? 0 : 24, 0, uint8_t(firstKey + i), 100);
  return BuildSmf(96, {t.End(24)});
}

// A clean player on the scripted MIDI stream, in a folder of its own where the tests put songs.
class MusicPlayer : public testing::Test {
 protected:
  void SetUp() override {
    FakeSystemReset();
    FakeMidiResetAll();
    SongClose();
    StreamOpen = 0;
    CurrentSlot = 0;
    ReturnedSlots = 0;
    PlayerStatus = PLAYER_RUNNING;
    SongLoaded = 0;
    Playing = 0;
    SlotsPrepared = 0;
    TrackStarted = 0;
    Looping = 0;
    EncoderFlags = 0;
    CurrentTempo = 0;
    dwBufferTickLength = 0;
    // Test cases may run side by side in separate processes: each has a folder of its own.
    dir_ = home_ / ("music_test_songs_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
    ASSERT_EQ(MusicInit(), 1);
  }
  void TearDown() override {
    MusicShutdown();
    std::filesystem::current_path(home_);
    std::filesystem::remove_all(dir_);
  }
  void PutSong(int32_t n, const std::vector<uint8_t>& bytes) { WriteFile(MusicFiles[n], bytes); }
  // Note-on messages sent since the last clear, as (stream clock, key).
  std::vector<std::pair<uint64_t, uint32_t>> NotesOn() {
    std::vector<std::pair<uint64_t, uint32_t>> notes;
    for (const FakeMidiMessage& m : FakeMidiMessages()) {
      if ((m.message & 0xF0) == 0x90) notes.emplace_back(m.micros, (m.message >> 8) & 0x7F);
    }
    return notes;
  }

  const std::filesystem::path home_ = std::filesystem::current_path();
  std::filesystem::path dir_;
};

// No song file or stream buffer is held.
bool NothingHeld() {
  return Song.file == nullptr && StreamSlots[0].header.lpData == nullptr &&
         StreamSlots[1].header.lpData == nullptr;
}

TEST_F(MusicPlayer, PlayQueuesTwoBuffersAndRefillsThemAsTheyComeBack) {
  PutSong(0, EvenSong(40, 16));
  const uint64_t start = FakeMidiClockMicros();
  EXPECT_EQ(PlayMusicTrack(0), 1);
  EXPECT_EQ(FakeMidiQueued(), 2);
  FakeMidiAdvance(5000);
  EXPECT_EQ(FakeMidiQueued(), 2) << "every buffer handed back is sent again";
  // The loop leaves out the tail after the last note: 16 notes take 15 note lengths.
  const auto notes = NotesOn();
  ASSERT_GE(notes.size(), 32u);
  for (size_t i = 0; i < 32; ++i) {
    const uint64_t loop = i / 16, k = i % 16;
    EXPECT_EQ(notes[i].first - start, (loop * 15 + k) * NOTE_MICROS) << i;
    EXPECT_EQ(notes[i].second, 40 + k) << i;
  }
}

TEST_F(MusicPlayer, EachPlayStopsTheSongBeforeAndAStopCollectsBothBuffersWithoutWaiting) {
  PutSong(0, EvenSong(40, 16));
  PutSong(1, EvenSong(70, 16));
  PlayMusicTrack(0);
  FakeMidiAdvance(300);
  for (int32_t again = 0; again < 2; ++again) {  // the same track again starts from its beginning
    FakeMidiClearMessages();
    const uint64_t restart = FakeMidiClockMicros();
    EXPECT_EQ(PlayMusicTrack(1), 1);
    FakeMidiAdvance(600);
    const auto notes = NotesOn();
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes[0], std::make_pair(restart, 70u)) << again;
    for (const auto& n : notes) EXPECT_GE(n.second, 70u) << "nothing of the old song";
  }
  FakeMidiClearMessages();
  StopMusicTrack();
  EXPECT_EQ(FakeSignalTimeouts(), 0);
  EXPECT_FALSE(FakeMidiIsOpen());
  EXPECT_TRUE(NothingHeld());
  EXPECT_EQ(PlayerStatus, PLAYER_RUNNING);
  bool allNotesOff = false;
  for (const FakeMidiMessage& m : FakeMidiMessages()) allNotesOff |= m.message == (0xB0 | 123 << 8);
  EXPECT_TRUE(allNotesOff);
}

TEST_F(MusicPlayer, BadSongsAreSilentAndTheNextTrackPlays) {
  SmfTrack broken;
  broken.Tempo(0, 500000);
  for (int i = 0; i < 12; ++i) broken.Note(24, 0, static_cast<uint8_t>(30 + i), 100);
  broken.Raw(24, {0xF4});  // undefined status, reached only by a refill
  PutSong(0, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  PutSong(4, BuildSmf(96, {broken}));
  PutSong(5, EvenSong(80, 4));
  PutSong(6, BuildSmf(96, {SmfTrack().Note(0, 0, 1, 1)}));  // corrupt in its first buffer
  const uint64_t before = FakeMicros();
  FakeClearDebugLines();
  StopMusicTrack();              // as when the game quits before its first song
  for (int32_t n : {3, 0, 6}) {  // missing, unreadable, corrupt at once
    EXPECT_EQ(PlayMusicTrack(n), 0) << n;
    EXPECT_TRUE(NothingHeld()) << n;
    EXPECT_EQ(FakeMidiQueued(), 0) << n;
  }
  EXPECT_EQ(FakeMicros(), before) << "with nothing queued a stop has nothing to wait for";
  // One line for each file that could not be opened, naming it and why; a missing one also
  // says where it was looked for and how to get it there.
  const std::vector<std::string>& lines = FakeNoticeLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(
      lines[0].find(std::string("the song ") + MusicFiles[3] +
                    " was found neither in the current folder nor in " + PlatformExecutableDir()),
      npos);
  EXPECT_NE(lines[0].find("cmake --install build"), npos);
  EXPECT_NE(lines[1].find(std::string(MusicFiles[0]) + ": not a valid song file"), npos);
  EXPECT_EQ(PlayMusicTrack(4), 1);
  FakeMidiAdvance(4000);
  EXPECT_EQ(Song.file, nullptr);
  EXPECT_EQ(Playing, 0);
  EXPECT_EQ(FakeMidiQueued(), 0);
  const auto played = NotesOn();
  ASSERT_FALSE(played.empty());
  EXPECT_LT(played.size(), 12u) << "the buffer with the bad event never plays";
  for (size_t i = 0; i < played.size(); ++i) EXPECT_EQ(played[i].second, 30 + i);
  FakeMidiClearMessages();
  EXPECT_EQ(PlayMusicTrack(5), 1);
  EXPECT_EQ(FakeSignalTimeouts(), 0) << "both buffers of the corrupt song were already back";
  FakeMidiAdvance(200);
  ASSERT_FALSE(NotesOn().empty());
  EXPECT_EQ(NotesOn()[0].second, 80u);
}

TEST_F(MusicPlayer, FailedStartFreesWhatItTookAndARefusedBufferIsNoFailure) {
  PutSong(0, EvenSong(40, 16));
  FakeMidiFailures fail;
  fail.timeDivision = true;
  FakeMidiFail(fail);
  EXPECT_EQ(MusicLoad(MusicFiles[0]), 0);
  EXPECT_TRUE(NothingHeld());
  fail = FakeMidiFailures{};
  fail.outAfter = 1;
  FakeMidiFail(fail);
  EXPECT_EQ(MusicLoad(MusicFiles[0]), 1);
  EXPECT_EQ(FakeMidiQueued(), 1);
  FakeMidiFail(FakeMidiFailures{});
  EXPECT_EQ(MusicPlay(1), 1);
  FakeMidiAdvance(1000);
  EXPECT_GE(NotesOn().size(), 8u);
  EXPECT_EQ(MusicStop(), 1);
  EXPECT_EQ(std::tuple(FakeSignalTimeouts(), NothingHeld()), std::tuple(0, true))
      << "a stop waits only for the buffer that went out";
}

TEST_F(MusicPlayer, FailedStopKeepsTheSongLoadedAndShutdownClosesEverything) {
  PutSong(0, EvenSong(40, 16));
  PlayMusicTrack(0);
  FakeMidiFailures fail;
  fail.stop = true;
  FakeMidiFail(fail);
  EXPECT_EQ(MusicStop(), 0);
  EXPECT_EQ(SongLoaded, 1) << "its buffers may still be queued";
  FakeMidiFail(FakeMidiFailures{});
  EXPECT_EQ(MusicShutdown(), 1);
  EXPECT_EQ(std::tuple(SongLoaded.load(), FakeMidiIsOpen(), NothingHeld(), BufferReturned),
            std::tuple(0, false, true, nullptr));
}

// Hundreds of play, stop and tempo requests while another thread plays the stream.
TEST_F(MusicPlayer, RequestsRaceTheCallbackThreadWithoutLosingABuffer) {
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
