// Requests made during a frame (sounds, music), noted only while a state trace is written.
#pragma once
#include <cstdint>
#include <string>

extern bool FrameEventsOn;

void NoteFrameEvent(const char* json);  // appends one JSON value to the frame's music list
void NoteSoundRequest(int32_t n);
// The frame's requests as JSON arrays ("[1,4]"), then cleared for the next frame.
void TakeFrameEvents(std::string* sounds, std::string* music);

// The callers' hooks: free when no trace is written.
inline void TraceSoundRequest(int32_t n) {
  if (FrameEventsOn) NoteSoundRequest(n);
}
inline void TraceMusicPlay(int32_t n) {
  if (FrameEventsOn) NoteFrameEvent(("{\"play\":" + std::to_string(n) + "}").c_str());
}
inline void TraceMusicStop() {
  if (FrameEventsOn) NoteFrameEvent("{\"stop\":true}");
}
inline void TraceMusicTempo(int32_t percent) {
  if (FrameEventsOn) NoteFrameEvent(("{\"tempo\":" + std::to_string(percent) + "}").c_str());
}
