// The music player on the scripted stream: priming, refills, looping, stops and bad songs.
#include <gtest/gtest.h>

#include "support/music_fixture.h"

namespace {

constexpr uint64_t NOTE_MICROS = 125000;  // 24 ticks of 96 at 0.5 s a quarter

using MusicPlayer = MusicFixture;

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

TEST_F(MusicPlayer, StopCollectsBothBuffersWithoutWaitingAndClosesEverything) {
  PutSong(2, EvenSong(50, 16));
  PlayMusicTrack(2);
  FakeMidiAdvance(700);
  FakeMidiClearMessages();
  StopMusicTrack();
  EXPECT_EQ(FakeSignalTimeouts(), 0);
  EXPECT_FALSE(FakeMidiIsOpen());
  EXPECT_EQ(SongLoaded, 0);
  EXPECT_EQ(PlayerStatus, PLAYER_RUNNING);
  EXPECT_TRUE(NothingHeld());
  bool allNotesOff = false;
  for (const FakeMidiMessage& m : FakeMidiMessages()) allNotesOff |= m.message == (0xB0 | 123 << 8);
  EXPECT_TRUE(allNotesOff);
}

TEST_F(MusicPlayer, StopWithNothingQueuedWaitsOutTheTimeOut) {
  const uint64_t before = FakeMicros();
  StopMusicTrack();
  EXPECT_EQ(FakeSignalTimeouts(), 1);
  EXPECT_EQ(FakeMicros() - before, uint64_t{MUSIC_STOP_TIMEOUT_MS} * 1000);
  EXPECT_EQ(PlayerStatus, PLAYER_RUNNING);
}

TEST_F(MusicPlayer, EachPlayStopsTheSongBeforeAndStartsFromTheBeginning) {
  PutSong(0, EvenSong(40, 16));
  PutSong(1, EvenSong(70, 16));
  PlayMusicTrack(0);
  FakeMidiAdvance(300);
  for (int32_t again = 0; again < 2; ++again) {
    FakeMidiClearMessages();
    const uint64_t restart = FakeMidiClockMicros();
    EXPECT_EQ(PlayMusicTrack(1), 1);
    FakeMidiAdvance(600);
    const auto notes = NotesOn();
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes[0], std::make_pair(restart, 70u)) << again;
    for (const auto& n : notes) EXPECT_GE(n.second, 70u) << "nothing of the old song";
  }
  EXPECT_EQ(FakeSignalTimeouts(), 0);
}

TEST_F(MusicPlayer, BadSongsAreSilentAndTheNextTrackPlays) {
  SmfTrack broken;
  broken.Tempo(0, 500000);
  for (int i = 0; i < 12; ++i) broken.Note(24, 0, static_cast<uint8_t>(30 + i), 100);
  broken.Raw(24, {0xF4});  // undefined status, reached only by a refill
  PutSong(0, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  PutSong(4, BuildSmf(96, {broken}));
  PutSong(5, EvenSong(80, 4));
  EXPECT_EQ(PlayMusicTrack(3), 0) << "missing";
  EXPECT_EQ(PlayMusicTrack(0), 0) << "unreadable";
  EXPECT_TRUE(NothingHeld());
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
  EXPECT_EQ(FakeSignalTimeouts(), 2) << "each stop after a failed start waits out its time-out";
  EXPECT_EQ(PlayMusicTrack(5), 1);
  EXPECT_EQ(FakeSignalTimeouts(), 2) << "both buffers of the corrupt song were already back";
  FakeMidiAdvance(200);
  ASSERT_FALSE(NotesOn().empty());
  EXPECT_EQ(NotesOn()[0].second, 80u);
}

TEST_F(MusicPlayer, FailedStartFreesWhatItTookAndARefusedBufferIsNoFailure) {
  PutSong(0, EvenSong(40, 16));
  PutSong(1, BuildSmf(96, {SmfTrack().Note(0, 0, 1, 1)}));  // corrupt in its first buffer
  FakeMidiFailures division;
  division.timeDivision = true;
  const std::pair<FakeMidiFailures, const char*> cases[] = {{division, MusicFiles[0]},
                                                            {FakeMidiFailures{}, MusicFiles[1]}};
  for (const auto& [failures, file] : cases) {
    FakeMidiFail(failures);
    EXPECT_EQ(MusicLoad(file), 0) << file;
    EXPECT_TRUE(NothingHeld()) << file;
    EXPECT_EQ(FakeMidiQueued(), 0) << file;
  }
  FakeMidiFailures afterOne;
  afterOne.outAfter = 1;
  FakeMidiFail(afterOne);
  EXPECT_EQ(MusicLoad(MusicFiles[0]), 1);
  EXPECT_EQ(FakeMidiQueued(), 1);
  FakeMidiFail(FakeMidiFailures{});
  EXPECT_EQ(MusicPlay(1), 1);
  FakeMidiAdvance(1000);
  EXPECT_GE(NotesOn().size(), 8u);
}

TEST_F(MusicPlayer, FailedStopKeepsTheSongLoaded) {
  PutSong(0, EvenSong(40, 16));
  PlayMusicTrack(0);
  FakeMidiFailures stop;
  stop.stop = true;
  FakeMidiFail(stop);
  EXPECT_EQ(MusicStop(), 0);
  EXPECT_EQ(SongLoaded, 1);
  FakeMidiFail(FakeMidiFailures{});
  EXPECT_EQ(MusicStop(), 1);
  EXPECT_EQ(SongLoaded, 0);
}

TEST_F(MusicPlayer, SongPlayedOnceEndsAndStopsWithoutWaiting) {
  PutSong(6, EvenSong(20, 3));
  ASSERT_EQ(MusicLoad(MusicFiles[6]), 1);
  ASSERT_EQ(MusicPlay(0), 1);
  FakeMidiAdvance(3000);
  EXPECT_EQ(NotesOn().size(), 3u);
  EXPECT_EQ(PlayerStatus, PLAYER_STOPPED);
  EXPECT_EQ(MusicStop(), 1);
  EXPECT_EQ(FakeSignalTimeouts(), 0);
}

TEST_F(MusicPlayer, SongIsFoundBesideTheExecutableWhenNotInTheCurrentFolder) {
  const std::string name = "music_player_test_beside.mid";
  const std::string beside = std::string(PlatformExecutableDir()) + name;
  WriteFile(beside, EvenSong(40, 4));
  EXPECT_EQ(MusicLoad(name.c_str()), 1);
  EXPECT_EQ(std::string(SongPath), beside);
  MusicStop();
  std::filesystem::remove(beside);
}

TEST_F(MusicPlayer, ShutdownClosesTheStreamAndInitFailsWithoutOne) {
  PutSong(0, EvenSong(40, 16));
  PlayMusicTrack(0);
  FakeMidiAdvance(100);
  EXPECT_EQ(MusicShutdown(), 1);
  EXPECT_FALSE(FakeMidiIsOpen());
  EXPECT_EQ(SongLoaded, 0);
  EXPECT_EQ(FakeSignalTimeouts(), 0);
  FakeMidiFailures open;
  open.open = true;
  FakeMidiFail(open);
  EXPECT_EQ(MusicInit(), 0);
  EXPECT_EQ(BufferReturned, nullptr) << "the signal is not left behind";
  FakeMidiFail(FakeMidiFailures{});
  EXPECT_EQ(MusicInit(), 1);
}

}  // namespace
