// Standard MIDI File (format 1) writer for the generated songs.
#include "midi_writer.h"

#include <algorithm>
#include <array>

namespace {

struct TrackEvent {
  uint32_t tick;
  uint32_t order;  // at one tick: note-offs, then set-up, then note-ons
  uint32_t seq;    // keeps the writer's order stable
  std::vector<uint8_t> bytes;
};

void PutVarLen(std::vector<uint8_t>& out, uint32_t value) {
  std::array<uint8_t, 5> groups{};
  int n = 0;
  do {
    groups[n++] = static_cast<uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (n > 1) out.push_back(static_cast<uint8_t>(groups[--n] | 0x80));
  out.push_back(groups[0]);
}

void PutBig(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> MetaEvent(uint8_t type, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> e{0xFF, type};
  PutVarLen(e, static_cast<uint32_t>(data.size()));
  e.insert(e.end(), data.begin(), data.end());
  return e;
}

std::vector<uint8_t> TextMeta(uint8_t type, const std::string& text) {
  return MetaEvent(type, std::vector<uint8_t>(text.begin(), text.end()));
}

// Running status is kept across channel messages only; a meta event restarts it, as most
// readers expect.
std::vector<uint8_t> TrackChunk(std::vector<TrackEvent> events, uint32_t endTick) {
  std::stable_sort(events.begin(), events.end(), [](const TrackEvent& a, const TrackEvent& b) {
    if (a.tick != b.tick) return a.tick < b.tick;
    if (a.order != b.order) return a.order < b.order;
    return a.seq < b.seq;
  });
  std::vector<uint8_t> body;
  uint32_t clock = 0;
  uint8_t running = 0;
  for (const TrackEvent& e : events) {
    PutVarLen(body, e.tick - clock);
    clock = e.tick;
    const uint8_t status = e.bytes[0];
    if (status < 0xF0) {
      if (status != running) body.push_back(status);
      running = status;
      body.insert(body.end(), e.bytes.begin() + 1, e.bytes.end());
    } else {
      running = 0;
      body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
  }
  PutVarLen(body, endTick - clock);
  body.insert(body.end(), {0xFF, 0x2F, 0x00});
  std::vector<uint8_t> chunk{'M', 'T', 'r', 'k'};
  PutBig(chunk, static_cast<uint32_t>(body.size()), 4);
  chunk.insert(chunk.end(), body.begin(), body.end());
  return chunk;
}

std::vector<uint8_t> TempoTrack(const MidiSong& song) {
  std::vector<TrackEvent> events;
  uint32_t seq = 0;
  events.push_back({0, 0, seq++, TextMeta(0x03, song.name)});
  uint8_t unitPower = 0;
  while ((1u << unitPower) < song.beatUnit) ++unitPower;
  events.push_back({0, 0, seq++, MetaEvent(0x58, {song.beatsPerBar, unitPower, 24, 8})});
  for (const MidiTempo& t : song.tempos) {
    std::vector<uint8_t> data;
    PutBig(data, t.microsPerQuarter, 3);
    events.push_back({t.tick, 1, seq++, MetaEvent(0x51, data)});
  }
  return TrackChunk(std::move(events), song.lengthTicks);
}

}  // namespace

std::vector<MidiNote> UntangledNotes(std::vector<MidiNote> notes, uint32_t endTick) {
  std::stable_sort(notes.begin(), notes.end(),
                   [](const MidiNote& a, const MidiNote& b) { return a.start < b.start; });
  std::array<int, 128> lastIndex;
  lastIndex.fill(-1);
  std::vector<MidiNote> kept;
  for (const MidiNote& n : notes) {
    if (n.start >= endTick || n.length == 0 || n.key > 127) continue;
    const int prev = lastIndex[n.key];
    if (prev >= 0) {
      MidiNote& p = kept[static_cast<size_t>(prev)];
      if (p.start == n.start) continue;  // the same key twice at once sounds as one
      p.length = std::min(p.length, n.start - p.start);
    }
    MidiNote copy = n;
    copy.length = std::min(copy.length, endTick - copy.start);
    copy.velocity = std::clamp<uint8_t>(copy.velocity, 1, 127);
    lastIndex[n.key] = static_cast<int>(kept.size());
    kept.push_back(copy);
  }
  return kept;
}

namespace {

std::vector<uint8_t> PartTrack(const MidiPart& part, uint32_t endTick) {
  std::vector<TrackEvent> events;
  uint32_t seq = 0;
  const uint8_t ch = part.channel & 0x0F;
  events.push_back({0, 1, seq++, TextMeta(0x03, part.name)});
  if (ch != DRUM_CHANNEL) {
    events.push_back({0, 1, seq++, {static_cast<uint8_t>(0xC0 | ch), part.program}});
  }
  const uint8_t cc = static_cast<uint8_t>(0xB0 | ch);
  events.push_back({0, 1, seq++, {cc, 7, part.volume}});
  events.push_back({0, 1, seq++, {cc, 10, part.pan}});
  events.push_back({0, 1, seq++, {cc, 91, part.reverb}});
  events.push_back({0, 1, seq++, {cc, 93, part.chorus}});
  for (const MidiControl& c : part.controls) {
    if (c.tick < endTick) events.push_back({c.tick, 1, seq++, {cc, c.controller, c.value}});
  }
  const uint8_t on = static_cast<uint8_t>(0x90 | ch);
  for (const MidiNote& n : UntangledNotes(part.notes, endTick)) {
    events.push_back({n.start, 2, seq++, {on, n.key, n.velocity}});
    // Note-on with velocity 0 ends the note and keeps running status going.
    events.push_back({n.start + n.length, 0, seq++, {on, n.key, 0}});
  }
  return TrackChunk(std::move(events), endTick);
}

}  // namespace

std::vector<uint8_t> EncodeMidiSong(const MidiSong& song) {
  std::vector<uint8_t> out{'M', 'T', 'h', 'd'};
  PutBig(out, 6, 4);
  PutBig(out, 1, 2);
  PutBig(out, static_cast<uint32_t>(song.parts.size() + 1), 2);
  PutBig(out, TICKS_PER_QUARTER, 2);
  const std::vector<uint8_t> tempo = TempoTrack(song);
  out.insert(out.end(), tempo.begin(), tempo.end());
  for (const MidiPart& part : song.parts) {
    const std::vector<uint8_t> track = PartTrack(part, song.lengthTicks);
    out.insert(out.end(), track.begin(), track.end());
  }
  return out;
}
