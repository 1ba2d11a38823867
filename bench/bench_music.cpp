// Costs of the music engine on the scripted machine: one refill of a dense song, a song start.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "bench_songs.h"
#include "music/music_player.h"
#include "platform/fake/fake_platform.h"

namespace {

// 16 tracks, a note on or off every 4 ticks on each: far more than a buffer's 85 events fall
// within its 60 ms, and every track's window runs dry about every 340 events.
void BM_RefillDenseSong(benchmark::State& state) {
  const char* path = "/tmp/bench_music_dense.mid";
  if (!bench_songs::WriteSong(path, bench_songs::EvenSong(16, 4000, 8)) ||
      SongOpen(path) != SONG_OK) {
    state.SkipWithError("cannot write the song");
    return;
  }
  Looping = 1;
  TempoPercent = 100;
  std::vector<char> buffer(STREAM_BUFFER_BYTES);
  StreamSlot slot{};
  slot.header.lpData = buffer.data();
  int32_t reset = 1;
  int64_t events = 0;
  for (auto _ : state) {
    slot.startOffset = 0;
    slot.capacity = STREAM_BUFFER_BYTES;
    slot.startTick = 0;
    slot.timeUp = 0;
    benchmark::DoNotOptimize(EncodeBuffer(reset, &slot));
    reset = 0;
    events += slot.used / STREAM_EVENT_BYTES;
  }
  state.counters["events_per_refill"] =
      benchmark::Counter(static_cast<double>(events) / static_cast<double>(state.iterations()));
  SongClose();
}
BENCHMARK(BM_RefillDenseSong);

// A whole start and stop on the scripted stream: open, two buffers encoded, stop, close.
void BM_PlayAndStopTrack(benchmark::State& state) {
  FakeMidiResetAll();
  // A folder of its own: the song takes the name of the game's first track.
  std::filesystem::create_directories("/tmp/bench_music_songs");
  std::filesystem::current_path("/tmp/bench_music_songs");
  if (!bench_songs::WriteSong("MD00t.mid", bench_songs::EvenSong(16, 4000, 8))) {
    state.SkipWithError("cannot write the song");
    return;
  }
  MusicInit();
  for (auto _ : state) {
    PlayMusicTrack(0);
    FakeMidiAdvance(100);
    StopMusicTrack();
  }
  MusicShutdown();
}
BENCHMARK(BM_PlayAndStopTrack);

}  // namespace

BENCHMARK_MAIN();
