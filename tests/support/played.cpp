// What the scripted machine's sound devices were asked to play.
#include "support/played.h"

#include "music/music_player.h"
#include "platform/fake/fake_platform.h"
#include "sound/sound_bank.h"

std::vector<int32_t> PlayedEffects() {
  std::vector<int32_t> played;
  for (const FakeSoundCall& call : FakeSoundCalls()) {
    if (call.op != FSOUND_PLAY) continue;
    for (int32_t n = 0; n < SOUND_EFFECT_COUNT; ++n)
      for (int32_t v = 0; v < SoundBank[n].count; ++v)
        if (SoundBank[n].voices[v] == call.buffer) played.push_back(n);
  }
  FakeClearSoundCalls();
  return played;
}

std::string SongPlaying() { return TrackStarted != 0 ? std::string(SongPath) : std::string(); }
