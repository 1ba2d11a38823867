// A clean player on the scripted MIDI stream, in a folder of its own where the tests put songs.
#include "support/music_fixture.h"

#include <unistd.h>

void MusicFixture::SetUp() {
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
  home_ = std::filesystem::current_path();
  // Test cases may run side by side in separate processes: each has a folder of its own.
  dir_ = home_ / ("music_test_songs_" + std::to_string(getpid()));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  std::filesystem::current_path(dir_);
  ASSERT_EQ(MusicInit(), 1);
}

void MusicFixture::TearDown() {
  MusicShutdown();
  std::filesystem::current_path(home_);
  std::filesystem::remove_all(dir_);
}

void MusicFixture::PutSong(int32_t n, const std::vector<uint8_t>& bytes) {
  WriteFile(MusicFiles[n], bytes);
}

std::vector<std::pair<uint64_t, uint32_t>> MusicFixture::NotesOn() {
  std::vector<std::pair<uint64_t, uint32_t>> notes;
  for (const FakeMidiMessage& m : FakeMidiMessages()) {
    if ((m.message & 0xF0) == 0x90) notes.emplace_back(m.micros, (m.message >> 8) & 0x7F);
  }
  return notes;
}

std::vector<uint8_t> EvenSong(uint8_t firstKey, int32_t notes) {
  SmfTrack t;
  t.Tempo(0, 500000);
  for (int32_t i = 0; i < notes; ++i) {
    t.Note(i == 0 ? 0 : 24, 0, static_cast<uint8_t>(firstKey + i), 100);
  }
  return BuildSmf(96, {t.End(24)});
}
