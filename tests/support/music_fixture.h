// A clean player on the scripted MIDI stream, in a folder of its own where the tests put songs.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "music/music_player.h"
#include "platform/fake/fake_platform.h"
#include "support/smf_builder.h"

class MusicFixture : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Writes track n's file ("MD0nt.mid") into the test's folder.
  void PutSong(int32_t n, const std::vector<uint8_t>& bytes);
  // Note-on messages sent since the last clear, as (stream clock, key).
  std::vector<std::pair<uint64_t, uint32_t>> NotesOn();

  std::filesystem::path home_;
  std::filesystem::path dir_;
};

// 96 ticks a quarter at 0.5 s: notes every 24 ticks (125 ms) on keys first, first+1, ...
std::vector<uint8_t> EvenSong(uint8_t firstKey, int32_t notes);
