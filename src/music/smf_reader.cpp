// Standard MIDI File reader and stream encoder: tracks read through their own windows, merged by
// time, written as MIDIEVENT records about 60 ms of music per buffer.
#include "music/smf_reader.h"

#include <cstring>
#include <new>
#include <vector>

#include "core/bytes.h"

SongFile Song;
SongEvent HeldEvent = {};

uint32_t SongClock = 0;
uint32_t EncoderFlags = 0;
uint32_t CurrentTempo = 0;
uint32_t dwBufferTickLength = 0;
std::atomic<int32_t> TempoPercent{0};
std::atomic<int32_t> Looping{0};

namespace {

long SongFileSize = 0;

constexpr uint8_t META_END_OF_TRACK = 0x2F;
constexpr uint8_t META_TEMPO = 0x51;

uint64_t BytesLeft(const TrackReader* t) { return uint64_t{t->windowLeft} + t->diskLeft; }

bool IsSmpte(uint32_t division) { return (division & 0x8000u) != 0; }

// Ticks in 60 ms for an SMPTE division, where ticks are real time whatever the tempo.
uint32_t SmpteBudget(uint32_t division) {
  const uint32_t fps = 256 - ((division >> 8) & 0xFF);
  const uint32_t ticksPerSecond = fps * (division & 0xFF);
  return ticksPerSecond * 60 / 1000;
}

void FreeEventData(SongEvent* e) { e->data = {}; }

// A song is outside data: memory it cannot have fails the song, not the game.
template <typename T>
bool Allocate(std::vector<T>* v, size_t n) {
  try {
    v->resize(n);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// Reads the window of a track from its first byte and sets the reader at its first event, then
// leaves the file at the chunk behind the track.
bool StartTrack(TrackReader* t) {
  const uint32_t want = t->length < TRACK_WINDOW_BYTES ? t->length : TRACK_WINDOW_BYTES;
  if (want > 0 && SongReadExact(t->window.data(), want) != SONG_OK) return false;
  t->diskLeft = t->length - want;
  t->windowLeft = want;
  t->readOffset = t->dataOffset + static_cast<int32_t>(want);
  t->cursor = t->window.data();
  t->flags = 0;
  t->runningStatus = 0;
  t->nextTick = 0;
  if (BytesLeft(t) == 0) {
    t->flags |= TRACK_ENDED;
    return true;
  }
  if (ReadVarLen(t, &t->nextTick) != SONG_OK) return false;
  return std::fseek(Song.file, static_cast<long>(t->dataOffset) + t->length, SEEK_SET) == 0;
}

// Reads `length` data bytes of a system-exclusive or meta event into a new block.
bool ReadEventData(TrackReader* t, SongEvent* e) {
  // A track may claim more than the file holds: never allocate for bytes that are not there.
  const uint64_t inFile = SongFileSize > t->readOffset ? uint64_t(SongFileSize - t->readOffset) : 0;
  const uint64_t onDisk = t->diskLeft < inFile ? t->diskLeft : inFile;
  if (e->length > BytesLeft(t) || e->length > t->windowLeft + onDisk) {
    t->flags |= TRACK_ENDED;
    return false;
  }
  if (!Allocate(&e->data, e->length)) return false;
  uint32_t done = 0;
  while (done < e->length) {
    if (t->windowLeft == 0 && RefillTrackWindow(t) != SONG_OK) return false;
    uint32_t n = e->length - done;
    if (n > t->windowLeft) n = t->windowLeft;
    std::memcpy(e->data.data() + done, t->cursor, n);
    t->cursor += n;
    t->windowLeft -= n;
    done += n;
  }
  return true;
}

bool ReadEventBody(TrackReader* t, SongEvent* e) {
  uint8_t b = 0;
  if ((t->flags & TRACK_ENDED) != 0 || BytesLeft(t) == 0) return false;
  if (ReadTrackByte(t, &b) != SONG_OK) return false;
  if (b < 0x80) {
    // Running status: a data byte continues the last channel status of this track.
    if (t->runningStatus == 0) return false;
    e->status = t->runningStatus;
    e->data1 = b;
    e->length = 2;
    const uint32_t kind = e->status >> 4;
    if (kind != 0xC && kind != 0xD) {
      if (BytesLeft(t) == 0) {
        t->flags |= TRACK_ENDED;
        return false;
      }
      if (ReadTrackByte(t, &e->data2) != SONG_OK) return false;
      e->length = 3;
    }
    return true;
  }
  if (b <= 0xEF) {
    e->status = b;
    t->runningStatus = b;
    const uint32_t kind = b >> 4;
    const uint32_t dataBytes = (kind == 0xC || kind == 0xD) ? 1 : 2;
    e->length = dataBytes + 1;
    if (BytesLeft(t) < dataBytes) {
      t->flags |= TRACK_ENDED;
      return false;
    }
    if (ReadTrackByte(t, &e->data1) != SONG_OK) return false;
    if (dataBytes == 2 && ReadTrackByte(t, &e->data2) != SONG_OK) return false;
    return true;
  }
  if (b == 0xF0 || b == 0xF7) {
    e->status = b;
    if (ReadVarLen(t, &e->length) != SONG_OK) return false;
    return ReadEventData(t, e);
  }
  if (b == 0xFF) {
    e->status = b;
    if (BytesLeft(t) == 0) {
      t->flags |= TRACK_ENDED;
      return false;
    }
    if (ReadTrackByte(t, &e->data1) != SONG_OK) return false;
    if (ReadVarLen(t, &e->length) != SONG_OK) return false;
    if (e->length != 0 && !ReadEventData(t, e)) return false;
    if (e->data1 == META_END_OF_TRACK) t->flags |= TRACK_ENDED;
    return true;
  }
  return false;  // 0xF1 to 0xFE: not allowed in a file
}

// The track whose next event comes first; the earlier track wins a tie. Null when all ended.
TrackReader* NextTrack() {
  TrackReader* best = nullptr;
  for (uint32_t i = 0; i < Song.trackCount; ++i) {
    TrackReader* t = &Song.tracks[i];
    if ((t->flags & TRACK_ENDED) != 0) continue;
    if (best == nullptr || t->nextTick < best->nextTick) best = t;
  }
  return best;
}

void WriteEvent(StreamSlot* slot, uint32_t delta, uint32_t word) {
  const uint32_t record[3] = {delta, 0, word};
  std::memcpy(slot->header.lpData + slot->startOffset + slot->used, record, sizeof record);
  slot->used += STREAM_EVENT_BYTES;
}

// The tempo as the stream gets it: scaled by TempoPercent, kept within the event's 24 bits.
uint32_t ScaledTempo(uint32_t tempo) {
  int32_t percent = TempoPercent.load(std::memory_order_relaxed);
  if (percent <= 0) percent = 100;  // an unset or nonsensical speed plays the file as written
  const uint64_t scaled = uint64_t{tempo} * 100 / static_cast<uint32_t>(percent);
  return scaled > 0xFFFFFF ? 0xFFFFFF : static_cast<uint32_t>(scaled);
}

// Handles one event taken from a track or held over: ENC_OK to go on, ENC_FULL to close the
// buffer.
int32_t TakeEvent(StreamSlot* slot) {
  const int32_t r = PutStreamEvent(&HeldEvent, slot);
  if (r == ENC_FULL) {
    EncoderFlags |= SONG_PENDING;
    return ENC_FULL;
  }
  return ENC_OK;
}

}  // namespace

int32_t SongReadExact(void* buffer, uint32_t n) {
  if (Song.file == nullptr) return SONG_FAILED;
  return std::fread(buffer, 1, n, Song.file) == n ? SONG_OK : SONG_FAILED;
}

int32_t SongOpen(const char* path) {
  SongClose();  // never leak a song left open
  Song.division = 0;
  Song.format = 0;
  Song.trackCount = 0;
  SongClock = 0;

  Song.file = std::fopen(path, "rb");
  if (Song.file == nullptr) return SONG_FAILED;
  long size = -1;
  if (std::fseek(Song.file, 0, SEEK_END) == 0) size = std::ftell(Song.file);
  if (size < 0 || std::fseek(Song.file, 0, SEEK_SET) != 0) {
    SongClose();
    return SONG_FAILED;
  }
  SongFileSize = size;

  uint8_t head[8];
  uint8_t fields[6];
  if (SongReadExact(head, 8) != SONG_OK || std::memcmp(head, "MThd", 4) != 0 ||
      ReadBe32(head + 4) < 6 || SongReadExact(fields, 6) != SONG_OK) {
    SongClose();
    return SONG_FAILED;
  }
  // Only the first six bytes of a longer header are known; the rest is passed over.
  const uint32_t headerLength = ReadBe32(head + 4);
  if (headerLength > 6 && (headerLength - 6 > static_cast<uint64_t>(size) ||
                           std::fseek(Song.file, static_cast<long>(headerLength - 6), SEEK_CUR))) {
    SongClose();
    return SONG_FAILED;
  }
  Song.format = ReadBe16(fields);
  Song.trackCount = ReadBe16(fields + 2);
  Song.division = ReadBe16(fields + 4);
  // Each track needs at least its chunk header: a count the file cannot hold would fail at the
  // first missing chunk anyway, so it fails before memory is set aside for every track.
  const uint64_t tracksStart = 8 + uint64_t{headerLength};
  const auto fileBytes = static_cast<uint64_t>(size);
  const uint64_t room = fileBytes > tracksStart ? fileBytes - tracksStart : 0;
  if (uint64_t{Song.trackCount} * 8 > room) {
    SongClose();
    return SONG_FAILED;
  }
  if (IsSmpte(Song.division)) dwBufferTickLength = SmpteBudget(Song.division);

  if (!Allocate(&Song.tracks, Song.trackCount)) {
    SongClose();
    return SONG_FAILED;
  }
  for (uint32_t i = 0; i < Song.trackCount; ++i) {
    TrackReader* t = &Song.tracks[i];
    uint8_t chunk[8];
    if (!Allocate(&t->window, TRACK_WINDOW_BYTES) || SongReadExact(chunk, 8) != SONG_OK ||
        std::memcmp(chunk, "MTrk", 4) != 0) {
      SongClose();
      return SONG_FAILED;
    }
    t->length = ReadBe32(chunk + 4);
    t->dataOffset = static_cast<int32_t>(std::ftell(Song.file));
    if (!StartTrack(t)) {
      SongClose();
      return SONG_FAILED;
    }
  }
  return SONG_OK;
}

void SongClose() {
  if (Song.file != nullptr) {
    std::fclose(Song.file);
    Song.file = nullptr;
  }
  Song.tracks = {};
}

int32_t RefillTrackWindow(TrackReader* track) {
  if (track->diskLeft == 0) return SONG_FAILED;
  track->cursor = track->window.data();
  if (std::fseek(Song.file, track->readOffset, SEEK_SET) != 0) return SONG_FAILED;
  const uint32_t want = track->diskLeft < TRACK_WINDOW_BYTES ? track->diskLeft : TRACK_WINDOW_BYTES;
  const size_t got = std::fread(track->window.data(), 1, want, Song.file);
  track->diskLeft -= static_cast<uint32_t>(got);
  track->readOffset += static_cast<int32_t>(got);
  track->windowLeft = static_cast<uint32_t>(got);
  return got == 0 ? SONG_FAILED : SONG_OK;
}

int32_t ReadTrackByte(TrackReader* track, uint8_t* byte) {
  if (track->windowLeft == 0 && RefillTrackWindow(track) != SONG_OK) return SONG_FAILED;
  *byte = *track->cursor++;
  --track->windowLeft;
  return SONG_OK;
}

int32_t ReadVarLen(TrackReader* track, uint32_t* result) {
  if ((track->flags & TRACK_ENDED) != 0) return SONG_FAILED;
  uint32_t value = 0;
  while (BytesLeft(track) > 0) {
    uint8_t b = 0;
    if (ReadTrackByte(track, &b) != SONG_OK) break;
    value = (value << 7) + (b & 0x7F);
    if (b < 0x80) {
      *result = value;
      return SONG_OK;
    }
  }
  track->flags |= TRACK_ENDED;
  return SONG_FAILED;
}

int32_t ReadTrackEvent(TrackReader* track, SongEvent* event) {
  *event = SongEvent{};
  uint32_t delta = 0;
  if (!ReadEventBody(track, event) ||
      ((track->flags & TRACK_ENDED) == 0 && ReadVarLen(track, &delta) != SONG_OK)) {
    FreeEventData(event);
    return SONG_FAILED;
  }
  event->tick = track->nextTick;
  track->nextTick += delta;
  return SONG_OK;
}

int32_t PutStreamEvent(SongEvent* event, StreamSlot* slot) {
  if (slot->used == 0) slot->startTick = SongClock;
  // The buffer closes at the second event after its budget ran out, so that it holds the first
  // event beyond the budget.
  if (SongClock - slot->startTick > dwBufferTickLength) {
    if (slot->timeUp != 0) {
      slot->timeUp = 0;
      return ENC_FULL;
    }
    slot->timeUp = 1;
  }
  // The clock moves only with an event written: an event dropped or held over for lack of room
  // leaves its delta to the next one written, so that every event plays at its own tick.
  const uint32_t delta = event->tick - SongClock;
  const bool roomLeft = slot->capacity - slot->used >= STREAM_EVENT_BYTES;

  if (event->status < 0xF0) {
    if (!roomLeft) return ENC_FULL;
    WriteEvent(
        slot, delta,
        uint32_t{event->status} | uint32_t{event->data1} << 8 | uint32_t{event->data2} << 16);
    SongClock = event->tick;
    return ENC_OK;
  }
  if (event->status == 0xF0 || event->status == 0xF7) {
    FreeEventData(event);
    return ENC_OK;
  }
  // Meta events other than tempo are dropped; so is a tempo too short to hold a value, or of 0,
  // which would stop the music's clock.
  const bool tempo = event->data1 == META_TEMPO && event->length >= 3 &&
                     (event->data[0] | event->data[1] | event->data[2]) != 0;
  if (!tempo) {
    FreeEventData(event);
    return ENC_SKIP;
  }
  if (!roomLeft) return ENC_FULL;
  CurrentTempo = uint32_t{event->data[0]} << 16 | uint32_t{event->data[1]} << 8 | event->data[2];
  WriteEvent(slot, delta, ScaledTempo(CurrentTempo) | MEVT_TEMPO << 24);
  SongClock = event->tick;
  // 60 ms at the file's own tempo, whatever TempoPercent says.
  dwBufferTickLength =
      IsSmpte(Song.division) ? SmpteBudget(Song.division) : Song.division * 60000 / CurrentTempo;
  FreeEventData(event);
  return ENC_OK;
}

int32_t EncodeBuffer(int32_t reset, StreamSlot* slot) {
  slot->used = 0;
  if (reset == 1) {
    EncoderFlags = 0;
    HeldEvent = SongEvent{};
  }
  if (Song.file == nullptr) return ENC_STUCK;  // no song open
  if ((EncoderFlags & SONG_DONE) != 0) {
    if (Looping.load(std::memory_order_relaxed) == 0) return ENC_DONE;
    SongRewind();
    EncoderFlags = 0;
  } else if ((EncoderFlags & SONG_STUCK) != 0) {
    return ENC_STUCK;
  } else if ((EncoderFlags & SONG_PENDING) != 0) {
    EncoderFlags &= ~SONG_PENDING;
    if (TakeEvent(slot) == ENC_FULL) return ENC_OK;
  }
  for (;;) {
    TrackReader* t = NextTrack();
    if (t == nullptr) {
      EncoderFlags |= SONG_DONE;
      return ENC_OK;
    }
    if (ReadTrackEvent(t, &HeldEvent) != SONG_OK) {
      EncoderFlags |= SONG_STUCK;
      return ENC_CORRUPT;
    }
    if (HeldEvent.status == 0xFF && HeldEvent.data1 == META_END_OF_TRACK) {
      FreeEventData(&HeldEvent);
      continue;
    }
    if (TakeEvent(slot) == ENC_FULL) return ENC_OK;
  }
}

int32_t SongRewind() {
  SongClock = 0;
  for (uint32_t i = 0; i < Song.trackCount; ++i) {
    TrackReader* t = &Song.tracks[i];
    if (std::fseek(Song.file, t->dataOffset, SEEK_SET) != 0 || !StartTrack(t)) return SONG_FAILED;
  }
  return SONG_OK;
}
