// Standard MIDI File reader and the encoder that turns a song into MIDIEVENT stream buffers.
#pragma once
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/platform.h"

constexpr uint32_t TRACK_WINDOW_BYTES = 1024;
constexpr uint32_t STREAM_BUFFER_BYTES = 1024;
constexpr uint32_t STREAM_EVENT_BYTES = 12;  // one MIDIEVENT without parameters

// What the open and track-reading operations return.
constexpr int32_t SONG_OK = 0;
constexpr int32_t SONG_FAILED = 1;

constexpr uint32_t TRACK_ENDED = 1;

constexpr uint32_t SONG_DONE = 1;     // every track has ended
constexpr uint32_t SONG_STUCK = 2;    // a corrupt event was met
constexpr uint32_t SONG_PENDING = 4;  // the event in hand goes first into the next buffer

constexpr int32_t ENC_OK = 0;
constexpr int32_t ENC_CORRUPT = -101;
constexpr int32_t ENC_STUCK = -102;
constexpr int32_t ENC_DONE = -103;
constexpr int32_t ENC_FULL = -104;  // PutStreamEvent only
constexpr int32_t ENC_SKIP = -105;  // PutStreamEvent only

struct TrackReader {
  uint32_t flags;
  uint32_t length;
  uint32_t windowLeft;
  std::vector<uint8_t> window;  // TRACK_WINDOW_BYTES of the track, refilled from disk
  uint8_t* cursor;
  uint32_t nextTick;
  uint8_t runningStatus;
  int32_t dataOffset;
  int32_t readOffset;
  uint32_t diskLeft;
};

struct SongFile {
  FILE* file = nullptr;  // null when no song is open
  uint32_t division = 0;
  uint32_t format = 0;  // read, never used: every format plays as parallel tracks
  uint32_t trackCount = 0;
  std::vector<TrackReader> tracks;
};

struct SongEvent {
  uint32_t tick;
  uint8_t status;
  uint8_t data1;
  uint8_t data2;
  uint32_t length;
  std::vector<uint8_t> data;  // system-exclusive or meta data; empty when none
};

struct StreamSlot {
  MIDIHDR header;
  uint32_t startOffset;
  uint32_t capacity;
  uint32_t used;
  uint32_t startTick;
  int32_t timeUp;
};

// The open song and the event in hand.
extern SongFile Song;
extern SongEvent HeldEvent;

// Encoder state.
extern uint32_t SongClock;
extern uint32_t EncoderFlags;
extern uint32_t CurrentTempo;
extern uint32_t dwBufferTickLength;
extern std::atomic<int32_t> TempoPercent;  // written by the game thread at any time
extern std::atomic<int32_t> Looping;

int32_t SongOpen(const char* path);  // SONG_OK or SONG_FAILED, as are the reads below
void SongClose();
int32_t EncodeBuffer(int32_t reset, StreamSlot* slot);  // ENC_OK or a negative ENC_ code
int32_t SongRewind();

int32_t SongReadExact(void* buffer, uint32_t n);
int32_t ReadVarLen(TrackReader* track, uint32_t* result);
int32_t ReadTrackEvent(TrackReader* track, SongEvent* event);
int32_t ReadTrackByte(TrackReader* track, uint8_t* byte);
int32_t RefillTrackWindow(TrackReader* track);
int32_t PutStreamEvent(SongEvent* event, StreamSlot* slot);
