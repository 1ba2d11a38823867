// Costs of the music on the real machine: a stop with a song playing on the sequencer thread,
// and rendering a song through our stream and the synthesiser against the synthesiser's own
// command-line renderer on the same file and SoundFont.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench_songs.h"
#include "music/music_player.h"
#include "platform/midi_stream.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_midi.h"

namespace {

const char* const SoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
constexpr int RATE = 44100;
constexpr int BLOCK = 512;

double Seconds(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// The song to render: the game's battle song when it stands beside the build, else a made one.
std::string SongToRender() {
  const std::string game = std::string(PlatformExecutableDir()) + "../MD02t.mid";
  if (std::filesystem::exists(game)) return game;
  const std::string made = "/tmp/bench_sdl_music_song.mid";
  bench_songs::WriteSong(made, bench_songs::EvenSong(8, 240, 240));
  return made;
}

void BM_StopMusicTrackWhilePlaying(benchmark::State& state) {
  std::filesystem::create_directories("/tmp/bench_sdl_music_songs");
  std::filesystem::current_path("/tmp/bench_sdl_music_songs");
  bench_songs::WriteSong("MD00t.mid", bench_songs::EvenSong(16, 4000, 8));
  PlatformSettings settings;
  settings.soundFontPath = SoundFont;
  PlatformConfigure(settings);
  if (MusicInit() == 0) {
    state.SkipWithError("no MIDI stream");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    PlayMusicTrack(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));  // a few refills in
    state.ResumeTiming();
    StopMusicTrack();
  }
  MusicShutdown();
}
BENCHMARK(BM_StopMusicTrackWhilePlaying)
    ->Iterations(50)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// The offline render: our reader, encoder and sequencer feed the synthesiser block by block, on
// a clock that moves one block at a time.
uint64_t RenderClock = 0;
uint64_t ReadRenderClock() { return RenderClock; }
fluid_synth_t* RenderSynth = nullptr;
StreamSlot RenderSlots[2];
int32_t RenderQueued = 0;
MidiSequencer RenderStream;

void RenderSink(void*, uint32_t message) { SynthShortMessage(RenderSynth, message); }

bool QueueNext(StreamSlot* slot, int32_t reset) {
  slot->startOffset = 0;
  slot->capacity = STREAM_BUFFER_BYTES;
  slot->startTick = 0;
  slot->timeUp = 0;
  if (EncodeBuffer(reset, slot) != ENC_OK) return false;
  slot->header.dwBytesRecorded = slot->used;
  if (!MidiSeqOut(&RenderStream, &slot->header)) return false;
  ++RenderQueued;
  return true;
}

void RenderCallback(uint32_t message, uintptr_t, MIDIHDR* header) {
  if (message != MOM_DONE) return;
  --RenderQueued;
  QueueNext(header == &RenderSlots[0].header ? &RenderSlots[0] : &RenderSlots[1], 0);
}

double RenderThroughOurStream(const std::string& song, const std::string& out) {
  const auto start = std::chrono::steady_clock::now();
  fluid_settings_t* settings = new_fluid_settings();
  SynthApplySettings(settings, RATE);
  RenderSynth = new_fluid_synth(settings);
  fluid_synth_sfload(RenderSynth, SoundFont, 1);
  Looping = 0;
  TempoPercent = 100;
  SongOpen(song.c_str());
  RenderClock = 0;
  RenderQueued = 0;
  MidiSeqOpen(&RenderStream, ReadRenderClock, MidiSink{RenderSink, nullptr}, RenderCallback, 0);
  MidiSeqSetTimeDivision(&RenderStream, Song.division);
  std::vector<char> buffers(2 * STREAM_BUFFER_BYTES);
  for (int i = 0; i < 2; ++i) {
    RenderSlots[i] = StreamSlot{};
    RenderSlots[i].header.lpData = buffers.data() + i * STREAM_BUFFER_BYTES;
    RenderSlots[i].header.dwBufferLength = STREAM_BUFFER_BYTES;
    MidiSeqPrepare(&RenderStream, &RenderSlots[i].header);
    QueueNext(&RenderSlots[i], i == 0 ? 1 : 0);
  }
  MidiSeqRestart(&RenderStream);
  FILE* f = std::fopen(out.c_str(), "wb");
  std::vector<float> block(2 * BLOCK);
  while (RenderQueued > 0) {
    MidiSeqAdvance(&RenderStream);
    fluid_synth_write_float(RenderSynth, BLOCK, block.data(), 0, 2, block.data(), 1, 2);
    std::fwrite(block.data(), sizeof(float), block.size(), f);
    RenderClock += uint64_t{BLOCK} * 1000000 / RATE;
  }
  std::fclose(f);
  MidiSeqClose(&RenderStream);
  SongClose();
  delete_fluid_synth(RenderSynth);
  delete_fluid_settings(settings);
  return Seconds(start);
}

double RenderWithTheCommandLine(const std::string& song, const std::string& out) {
  const std::string command = "fluidsynth -ni -q -g 0.3 -r 44100 -T raw -O float -F " + out + " " +
                              SoundFont + " " + song + " >/dev/null 2>&1";
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) return -1;
  return Seconds(start);
}

void BM_RenderSongOursVsCommandLine(benchmark::State& state) {
  const std::string song = SongToRender();
  double ours = 0, theirs = 0;
  for (auto _ : state) {
    const double a = RenderThroughOurStream(song, "/tmp/bench_sdl_music_ours.raw");
    const double b = RenderWithTheCommandLine(song, "/tmp/bench_sdl_music_cli.raw");
    if (b < 0) {
      state.SkipWithError("the fluidsynth program did not run");
      return;
    }
    state.SetIterationTime(a);
    ours += a;
    theirs += b;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["ours_s"] = ours / n;
  state.counters["cli_s"] = theirs / n;
  state.counters["ratio"] = ours / theirs;
  // The command line also renders the rest before the end of the song: compare per second of
  // audio as well.
  const double oursBytes =
      static_cast<double>(std::filesystem::file_size("/tmp/bench_sdl_music_ours.raw"));
  const double theirBytes =
      static_cast<double>(std::filesystem::file_size("/tmp/bench_sdl_music_cli.raw"));
  const double bytesPerSecond = 2.0 * sizeof(float) * RATE;
  state.counters["ours_audio_s"] = oursBytes / bytesPerSecond;
  state.counters["cli_audio_s"] = theirBytes / bytesPerSecond;
  state.counters["ratio_per_audio_s"] = (ours / oursBytes) / (theirs / theirBytes);
  state.SetLabel(song);
}
BENCHMARK(BM_RenderSongOursVsCommandLine)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
