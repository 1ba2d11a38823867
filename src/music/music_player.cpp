// The music player: primes two stream buffers per song, refills them from the stream's callback
// thread, and stops with a handshake so that the two threads never work on a song at once.
#include "music/music_player.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/frame_events.h"
#include "platform/resources_common.h"

const char* const MusicFiles[MUSIC_TRACK_COUNT] = {
    "MD00t.mid", "MD01t.mid", "MD02t.mid", "MD03t.mid", "MD04t.mid", "MD05t.mid", "MD06t.mid"};

int32_t StreamOpen = 0;
StreamSlot StreamSlots[2] = {};
std::atomic<int32_t> CurrentSlot{0};
std::atomic<int32_t> ReturnedSlots{0};
std::atomic<int32_t> PlayerStatus{PLAYER_RUNNING};
PlatformSignal* BufferReturned = nullptr;
std::atomic<int32_t> SongLoaded{0};
std::atomic<int32_t> Playing{0};
std::atomic<int32_t> SlotsPrepared{0};
char SongPath[SONG_PATH_CHARS] = "";
int32_t TrackStarted = 0;

namespace {

// The two buffers' memory: handed to the stream while a song is primed, never freed.
std::array<std::array<char, STREAM_BUFFER_BYTES>, 2> StreamBuffers{};

bool OpenStream() {
  if (!PlatformMidiOpen(MusicCallback, 0)) return false;
  StreamOpen = 1;
  return true;
}

void ClearSlotForEncoding(StreamSlot* slot) {
  slot->startOffset = 0;
  slot->capacity = STREAM_BUFFER_BYTES;
  slot->startTick = 0;
  slot->used = 0;
  slot->timeUp = 0;
}

// Where an installation keeps the songs, seen from its bin folder; the build says exactly.
#ifndef ZZ_SONGS_FROM_BIN
#define ZZ_SONGS_FROM_BIN "../share/zizid-ozavav/"
#endif

// The songs stand in the current folder; when the game is started from elsewhere they are
// found beside the executable, and an installed game finds them in the data folder next to its
// bin folder, wherever the installation was put.
void ChooseSongPath(const char* name) {
  std::snprintf(SongPath, sizeof SongPath, "%s", name);
  if (FileExists(SongPath)) return;
  const std::string exeDir = PlatformExecutableDir();
  for (const std::string& candidate : {exeDir + name, exeDir + ZZ_SONGS_FROM_BIN + name}) {
    if (candidate.size() < sizeof SongPath && FileExists(candidate.c_str())) {
      std::snprintf(SongPath, sizeof SongPath, "%s", candidate.c_str());
      return;
    }
  }
}

// A player who has lost the song files learns why there is no music, where the game looked
// and how to get the songs there.
void ReportUnopenedSong() {
  FILE* f = std::fopen(SongPath, "rb");
  const int error = errno;
  if (f != nullptr) {
    std::fclose(f);
    PlatformNotice(
        ("No music from " + std::string(SongPath) + ": not a valid song file\n").c_str());
    return;
  }
  if (error != ENOENT) {
    PlatformNotice(
        ("No music from " + std::string(SongPath) + ": " + std::strerror(error) + "\n").c_str());
    return;
  }
  // Found nowhere: the path is still the bare name.
  const std::string exeDir = PlatformExecutableDir();
  PlatformNotice(("No music: the song " + std::string(SongPath) +
                  " was found neither in the current folder nor in " + exeDir + " nor in " +
                  exeDir + ZZ_SONGS_FROM_BIN +
                  ". A build writes the songs beside build/zizid-ozavav; start the game there, "
                  "or install it with \"cmake --install build\".\n")
                     .c_str());
}

// Undoes a priming that failed: takes back any buffer already queued, then frees the buffers
// and the song, so that nothing of the failed song is left behind.
int32_t AbandonPrime(int32_t queued) {
  if (queued > 0) PlatformMidiStop();  // the callback only counts these: Playing is clear
  SongClose();
  MusicFreeSlots();
  ReturnedSlots.store(0);
  return PRIME_FAILED;
}

// Takes the status from `from` to PLAYER_STOPPED and wakes the waiting stop, once.
void FinishStop(int32_t from) {
  if (PlayerStatus.compare_exchange_strong(from, PLAYER_STOPPED)) PlatformSignalSet(BufferReturned);
}

void RefillCurrentSlot() {
  StreamSlot* slot = &StreamSlots[CurrentSlot.load()];
  ClearSlotForEncoding(slot);
  const int32_t r = EncodeBuffer(0, slot);
  if (r == ENC_OK) {
    slot->header.dwBytesRecorded = slot->used;
    if (PlatformMidiOut(&slot->header)) {
      CurrentSlot.store(CurrentSlot.load() ^ 1);
      ReturnedSlots.fetch_sub(1);
      return;
    }
  } else if (r == ENC_DONE) {
    int32_t running = PLAYER_RUNNING;
    PlayerStatus.compare_exchange_strong(running, PLAYER_ENDING);
    if (ReturnedSlots.load() >= 2) FinishStop(PLAYER_ENDING);
    return;
  }
  // A corrupt song or a refused buffer: the song falls silent once the queued buffer has played.
  SongClose();
  Playing.store(0);
}

}  // namespace

int32_t MusicInit() {
  TempoPercent.store(100);
  BufferReturned = PlatformSignalCreate("Wait For Buffer Return");
  if (BufferReturned == nullptr) return 0;
  if (!OpenStream()) {
    PlatformSignalDestroy(BufferReturned);
    BufferReturned = nullptr;
    return 0;
  }
  return 1;
}

int32_t MusicShutdown() {
  if (StreamOpen != 0) MusicStop();
  // The stream closes before the buffers are freed, so that none is freed while still queued.
  if (StreamOpen != 0) {
    if (!PlatformMidiClose()) return 0;
    StreamOpen = 0;
  }
  MusicFreeSlots();
  if (BufferReturned != nullptr) {
    PlatformSignalDestroy(BufferReturned);
    BufferReturned = nullptr;
  }
  return 1;
}

int32_t SetMusicTempo(int32_t percent) {
  TraceMusicTempo(percent);
  TempoPercent.store(percent);
  return 1;
}

int32_t PlayMusicTrack(int32_t n) {
  TraceMusicPlay(n);
  if (TrackStarted != 0) {  // the song before is ended here, not asked for by the game
    MusicStop();
    TrackStarted = 0;
  }
  if (n >= 0 && n < MUSIC_TRACK_COUNT) MusicLoad(MusicFiles[n]);
  const int32_t result = MusicPlay(1);
  TrackStarted = 1;
  return result;
}

void StopMusicTrack() {
  TraceMusicStop();
  MusicStop();
  TrackStarted = 0;
}

int32_t MusicLoad(const char* name) {
  // Priming over a loaded song would send its queued buffers a second time.
  if (SongLoaded.load() != 0) MusicStop();
  ChooseSongPath(name);
  if (MusicPrime() != PRIME_OK) return 0;
  SongLoaded.store(1);
  return 1;
}

int32_t MusicPrime() {
  if (StreamOpen == 0 && !OpenStream()) return PRIME_FAILED;
  for (size_t i = 0; i < StreamBuffers.size(); ++i) {
    StreamBuffers[i].fill(0);
    StreamSlots[i].header = MIDIHDR{};
    StreamSlots[i].header.dwBufferLength = STREAM_BUFFER_BYTES;
    StreamSlots[i].header.lpData = StreamBuffers[i].data();
  }
  if (SongOpen(SongPath) != SONG_OK) {
    ReportUnopenedSong();
    return AbandonPrime(0);
  }
  if (!PlatformMidiSetTimeDivision(Song.division)) return AbandonPrime(0);

  ReturnedSlots.store(0);
  int32_t queued = 0;
  for (int32_t i = 0; i < 2; ++i) {
    CurrentSlot.store(i);
    StreamSlot* slot = &StreamSlots[i];
    ClearSlotForEncoding(slot);
    const int32_t r = EncodeBuffer(i == 0 ? 1 : 0, slot);
    const bool ended = r == ENC_DONE;
    if (r != ENC_OK && !ended) return AbandonPrime(queued);
    slot->header.dwBytesRecorded = slot->used;
    if (SlotsPrepared.load() == 0 && !PlatformMidiPrepare(&slot->header)) {
      return AbandonPrime(queued);
    }
    if (!PlatformMidiOut(&slot->header)) break;
    ++queued;
    if (ended) break;
  }
  // A slot the stream refused never went out: counted as back, so that a stop waits only for
  // buffers that can come back.
  ReturnedSlots.store(2 - queued);
  SlotsPrepared.store(1);
  CurrentSlot.store(0);
  return PRIME_OK;
}

int32_t MusicPlay(int32_t loop) {
  if (SongLoaded.load() == 0) {
    Playing.store(0);
    return 0;
  }
  PlayerStatus.store(PLAYER_RUNNING);
  // Set before the restart: a buffer that came back before them would never be refilled.
  Looping.store(loop);
  Playing.store(1);
  if (!PlatformMidiRestart()) {
    Playing.store(0);
    return 0;
  }
  return 1;
}

int32_t MusicStop() {
  // With no song loaded nothing is queued, and no buffer would come back to end the wait.
  if (SongLoaded.load() != 0 || Playing.load() != 0) {
    Playing.store(0);
    int32_t status = PlayerStatus.load();
    while (status != PLAYER_STOPPED && status != PLAYER_ENDING &&
           !PlayerStatus.compare_exchange_weak(status, PLAYER_STOPPING)) {
    }
    if (!PlatformMidiStop() || !PlatformMidiReset()) return 0;
    // Both buffers may have come back before the stop (a song gone silent): nothing to wait for.
    int32_t stopping = PLAYER_STOPPING;
    const bool bothBack =
        ReturnedSlots.load() >= 2 && PlayerStatus.compare_exchange_strong(stopping, PLAYER_STOPPED);
    if (!bothBack && !PlatformSignalWait(BufferReturned, MUSIC_STOP_TIMEOUT_MS)) {
      PlayerStatus.store(PLAYER_STOPPED);
    }
    if (PlayerStatus.load() != PLAYER_STOPPED) return 1;
  }
  PlayerStatus.store(PLAYER_RUNNING);
  ReturnedSlots.store(0);
  if (SongLoaded.load() != 0) {
    SongClose();
    MusicFreeSlots();
    if (StreamOpen != 0) {
      PlatformMidiClose();
      StreamOpen = 0;
    }
    SongLoaded.store(0);
  }
  return 1;
}

void MusicFreeSlots() {
  if (SlotsPrepared.load() != 0) {
    PlatformMidiUnprepare(&StreamSlots[0].header);
    PlatformMidiUnprepare(&StreamSlots[1].header);
    SlotsPrepared.store(0);
  }
  for (StreamSlot& slot : StreamSlots) slot.header.lpData = nullptr;
}

void MusicCallback(uint32_t message, uintptr_t, MIDIHDR*) {
  if (message != MOM_DONE) return;
  const int32_t status = PlayerStatus.load();
  if (status == PLAYER_STOPPED) return;
  const int32_t returned = ReturnedSlots.fetch_add(1) + 1;
  if (status == PLAYER_STOPPING || status == PLAYER_ENDING) {
    // A song that ended on its own is over once both buffers are back, as if it was stopped.
    if (returned >= 2) FinishStop(status);
    return;
  }
  if (Playing.load() != 0) RefillCurrentSlot();
}
