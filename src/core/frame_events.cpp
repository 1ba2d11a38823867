// The per-frame list of sound and music requests that the state trace reports.
#include "core/frame_events.h"

bool FrameEventsOn = false;

namespace {
std::string Sounds;
std::string Music;

void Append(std::string& list, const std::string& value) {
  if (!list.empty()) list += ',';
  list += value;
}
}  // namespace

void NoteFrameEvent(const char* json) { Append(Music, json); }

void NoteSoundRequest(int32_t n) { Append(Sounds, std::to_string(n)); }

void TakeFrameEvents(std::string* sounds, std::string* music) {
  *sounds = "[" + Sounds + "]";
  *music = "[" + Music + "]";
  Sounds.clear();
  Music.clear();
}
