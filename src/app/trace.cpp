// The state trace: every documented program-wide variable after each frame, as JSON lines.
#include "app/trace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/frame_cycle.h"
#include "app/message_loop.h"
#include "battle/battle_state.h"
#include "battle/boss.h"
#include "battle/explosions.h"
#include "battle/star_field.h"
#include "core/float_text.h"
#include "core/frame_events.h"
#include "core/math_helpers.h"
#include "music/smf_reader.h"

namespace {
std::FILE* TraceFile = nullptr;
std::string TracePath;
bool TraceFailed = false;
unsigned long long TraceFrames = 0;

// Closes the trace; a failed write or close is told once and the rest of the game goes untraced,
// so a short trace is never mistaken for a whole one.
void StopTrace(bool writesOk) {
  int why = errno;
  if (std::fclose(TraceFile) != 0 && writesOk) {
    writesOk = false;
    why = errno;
  }
  TraceFile = nullptr;
  FrameEventsOn = false;
  if (writesOk) return;
  TraceFailed = true;
  std::fprintf(stderr, "zizid-ozavav: cannot write the trace %s: %s\n", TracePath.c_str(),
               std::strerror(why));
}

// Builds one JSON object; keys are appended in the order written.
class JsonObject {
 public:
  JsonObject& Int(const char* key, long long v) { return Raw(key, std::to_string(v)); }
  JsonObject& Float(const char* key, float v) {
    return Raw(key, ShortestFloatText(v));  // shortest text that round-trips
  }
  JsonObject& Raw(const char* key, const std::string& json) {
    text_ += text_.empty() ? "{\"" : ",\"";
    text_ += key;
    text_ += "\":";
    text_ += json;
    return *this;
  }
  std::string Close() const { return (text_.empty() ? std::string("{") : text_) + "}"; }

 private:
  std::string text_;
};

template <typename T>
std::string IntArray(const T* values, int count) {
  std::string s = "[";
  for (int i = 0; i < count; ++i) s += (i ? "," : "") + std::to_string(values[i]);
  return s + "]";
}

std::string GlobeJson() {
  const GlobeRecord& g = PlayerGlobe;
  return JsonObject()
      .Int("x", g.x)
      .Int("y", g.y)
      .Int("prevX", g.prevX)
      .Int("prevY", g.prevY)
      .Int("heading", g.heading)
      .Float("speed", g.speed)
      .Int("energy", g.energy)
      .Int("mode", g.mode)
      .Int("savedMode", g.savedMode)
      .Close();
}

std::string BossJson() {
  const BossRecord& b = BossState;
  return JsonObject()
      .Int("x", b.x)
      .Int("y", b.y)
      .Int("prevX", b.prevX)
      .Int("prevY", b.prevY)
      .Int("heading", b.heading)
      .Float("speed", b.speed)
      .Int("energy", b.energy)
      .Int("turn", b.turn)
      .Int("stun", b.stun)
      .Close();
}

std::string ExplosionsJson() {
  std::string s = "[";
  for (int i = 0; i < EXPLOSION_COUNT; ++i) {
    const Explosion& e = Explosions[i];
    if (!e.active) continue;
    if (s.size() > 1) s += ',';
    s += JsonObject()
             .Int("index", i)
             .Int("x", e.x)
             .Int("y", e.y)
             .Int("frame", e.frame)
             .Int("delay", e.delay)
             .Int("tick", e.tick)
             .Close();
  }
  return s + "]";
}

std::string StarFieldJson() {
  std::string s = "[";
  for (int i = 0; i < STAR_COUNT; ++i) {
    const Star& st = StarField[i];
    s += (i ? "," : "");
    s += JsonObject()
             .Int("x", st.x)
             .Int("y", st.y)
             .Int("kind", st.kind)
             .Int("dx", st.dx)
             .Int("dy", st.dy)
             .Int("size", st.size)
             .Int("phase", st.phase)
             .Close();
  }
  return s + "]";
}
}  // namespace

std::string TraceLine(unsigned long long frame) {
  std::string sounds, music;
  TakeFrameEvents(&sounds, &music);
  return JsonObject()
      .Int("frame", static_cast<long long>(frame))
      .Int("ClockChanges", ClockChanges)
      .Int("SystemState", SystemState)
      .Int("ErrorFlags", ErrorFlags)
      .Int("SceneId", SceneId)
      .Int("SceneTimer", SceneTimer)
      .Int("ScenePhase", ScenePhase)
      .Int("InputBits", InputState.pad.bits)
      .Int("pressed", InputState.pressed)
      .Int("RandomSeed", RandomSeed)
      .Int("Score", Score)
      .Int("HiScore", HiScore)
      .Int("MissionIndex", MissionIndex)
      .Int("Level", Level)
      .Int("TimeLeft", TimeLeft)
      .Int("ObjectsLeft", ObjectsLeft)
      .Int("MissionCleared", MissionCleared)
      .Int("MissionFailed", MissionFailed)
      .Int("BattleOver", BattleOver)
      .Int("ResultTarget", ResultTarget)
      .Raw("PlayerGlobe", GlobeJson())
      .Raw("BossState", BossJson())
      .Raw("CellTypes", IntArray(CellTypes, CELL_COUNT))
      .Raw("CellHp", IntArray(CellHp, CELL_COUNT))
      .Raw("Explosions", ExplosionsJson())
      .Raw("StarField", StarFieldJson())
      .Int("TempoPercent", TempoPercent.load())
      .Raw("sounds", sounds)
      .Raw("music", music)
      .Close();
}

bool TraceOpen(const char* path, std::string* error) {
  TraceFile = std::fopen(path, "wb");
  if (TraceFile == nullptr) {
    if (error) *error = std::string("cannot write the trace file ") + path;
    return false;
  }
  TracePath = path;
  TraceFailed = false;
  TraceFrames = 0;
  FrameEventsOn = true;
  return true;
}

bool TraceActive() { return TraceFile != nullptr; }

void TraceFrame() {
  if (TraceFile == nullptr) return;
  const std::string line = TraceLine(++TraceFrames) + "\n";
  if (std::fwrite(line.data(), 1, line.size(), TraceFile) != line.size()) StopTrace(false);
}

bool TraceClose() {
  if (TraceFile != nullptr) StopTrace(true);
  return !TraceFailed;
}
