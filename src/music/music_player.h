// The music player: two stream buffers refilled from the stream's callback, and the requests
// the scenes make (play a track, stop, set the tempo).
#pragma once
#include <atomic>
#include <cstdint>

#include "music/smf_reader.h"
#include "platform/platform.h"

constexpr int32_t MUSIC_TRACK_COUNT = 7;

// The tracks by the scene that plays them; missions take turns with the three battle tracks.
constexpr int32_t TRACK_TITLE = 0;
constexpr int32_t TRACK_PROLOGUE = 1;
constexpr int32_t TRACK_BATTLE1 = 2;
constexpr int32_t TRACK_BATTLE2 = 3;
constexpr int32_t TRACK_BATTLE3 = 4;
constexpr int32_t TRACK_BOSS = 5;
constexpr int32_t TRACK_ENDING = 6;
extern const char* const MusicFiles[MUSIC_TRACK_COUNT];

constexpr int32_t PLAYER_RUNNING = 0;
constexpr int32_t PLAYER_STOPPING = 100;  // a stop is under way; returned buffers are only counted
constexpr int32_t PLAYER_STOPPED = 200;   // both buffers are back
constexpr int32_t PLAYER_ENDING = 300;    // a song played without looping has ended

constexpr uint32_t MUSIC_STOP_TIMEOUT_MS = 2000;
constexpr uint32_t SONG_PATH_CHARS = 260;

// Player state; the atomics are shared with the stream's callback thread.
extern int32_t StreamOpen;  // the stream handle: 1 while a stream is open
extern StreamSlot StreamSlots[2];
extern std::atomic<int32_t> CurrentSlot;
extern std::atomic<int32_t> ReturnedSlots;
extern std::atomic<int32_t> PlayerStatus;
extern PlatformSignal* BufferReturned;
extern std::atomic<int32_t> SongLoaded;
extern std::atomic<int32_t> Playing;
extern std::atomic<int32_t> SlotsPrepared;
extern char SongPath[SONG_PATH_CHARS];
extern int32_t TrackStarted;

int32_t MusicInit();
int32_t MusicShutdown();
int32_t SetMusicTempo(int32_t percent);
int32_t PlayMusicTrack(int32_t n);
void StopMusicTrack();

// MusicPrime's result; the other requests return 1 for success and 0 for failure.
constexpr int32_t PRIME_OK = 0;
constexpr int32_t PRIME_FAILED = 1;

int32_t MusicLoad(const char* name);
int32_t MusicPrime();
int32_t MusicPlay(int32_t loop);
int32_t MusicStop();
void MusicFreeSlots();
void MusicCallback(uint32_t message, uintptr_t instance, MIDIHDR* header);
