// Controls of the scripted machine: what tests set, advance and read back.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// ---- Resources and diagnostics -----------------------------------------------------------
// A resource the test supplies; it hides a built-in one of the same name and type.
void FakeSetResource(const char* name, const char* type, std::vector<uint8_t> bytes);
void FakeRemoveResource(const char* name, const char* type);
// Whether the real built-in resources (sheet, effects, icon) are visible; on by default.
void FakeUseEmbeddedResources(bool use);
// Every line the game wrote to its diagnostic output, in order.
const std::vector<std::string>& FakeDebugLines();
// Every line the game always shows the player (warnings, errors, answers), in order.
const std::vector<std::string>& FakeNoticeLines();
void FakeClearDebugLines();  // both lists

// ---- Clock, events, window, message boxes, keys, joystick, instance -------------------------
struct PlatformEvent;
struct PlatformJoyCaps;
struct PlatformJoyPos;
// Puts this whole section back to its start: clock 0, no events, no window, no keys held.
void FakeSystemReset();
// The clock: PlatformMicros reads it, PlatformTicks is it in milliseconds (wrapping at 2^32),
// and PlatformWaitUntilMicros moves it forward to the time waited for.
uint64_t FakeMicros();
void FakeSetMicros(uint64_t micros);
void FakeAdvanceMicros(uint64_t micros);
// Every read of the clock also moves it on by this much (0 by default): time that work takes.
void FakeSetClockStepPerRead(uint64_t micros);
int32_t FakeWaitCount();  // PlatformWaitUntilMicros calls since the reset
int64_t FakeClockReads();  // PlatformMicros and PlatformTicks calls since the reset
// PlatformWaitForEvent calls since the reset: each sleeps until the next event or its time-out.
int32_t FakeEventWaits();
void FakeSetRefreshHz(int32_t hz);
// An event that becomes waiting once the clock has reached atMicros; queued in time order.
void FakeQueueEvent(const PlatformEvent& event, uint64_t atMicros = 0);
size_t FakeEventsQueued();
// The window as the game left it.
struct FakeWindowState {
  bool exists = false;
  bool shown = false;
  std::string title;
  int32_t x = 0, y = 0, clientWidth = 0, clientHeight = 0;
  int32_t minClientWidth = 0, minClientHeight = 0;
  bool fullScreen = false;
  bool cursorShown = true;
  bool hasIcon = false;
  int32_t created = 0;  // successful creations since the reset
};
const FakeWindowState& FakeWindow();
void FakeFailWindowCreation(bool fail);
void FakeSetNoScreen(bool none);  // no display: PlatformHasScreen says false
void FakeSetDesktop(int32_t width, int32_t height, bool canShowPalette = true);
// Message boxes: each is recorded; Yes/No boxes take the next scripted answer (Yes when none).
struct FakeMessageBoxRecord {
  std::string text, caption;
  int32_t buttons = 0, icon = 0, answer = 0;
};
const std::vector<FakeMessageBoxRecord>& FakeMessageBoxes();
void FakeQueueMessageBoxAnswer(int32_t answer);
// Keys held by virtual-key code; the joystick the driver reports. Return pressed while Alt is
// held stays hidden from PlatformKeyHeld until it is let go, as on the real keyboard.
void FakeSetKeyHeld(int32_t virtualKey, bool held);
void FakeSetJoystickCount(int32_t count);
void FakeSetJoystickCaps(const PlatformJoyCaps& caps, bool answered = true);
void FakeSetJoystickPosition(const PlatformJoyPos& pos, bool valid = true);
int32_t FakeJoystickReads();
// Single instance: whether another copy's window is found; what this copy claimed.
void FakeSetOtherInstanceRunning(bool running);
int32_t FakeInstanceRaiseRequests();  // finds that asked the other copy to come to the front
bool FakeInstanceClaimed();

// What PlatformConfiguration answers (the scripted PlatformConfigure keeps nothing).
struct PlatformSettings;
void FakeSetConfiguration(const PlatformSettings& settings);

// ---- Display -------------------------------------------------------------------------------
// What the scripted display was last asked to show.
struct FakeDisplayFrame {
  std::vector<uint8_t> pixels;  // width * height indices, rows top first
  int32_t width = 0, height = 0;
  uint8_t palette[256][4] = {};  // red, green, blue, flags
  int32_t destX = 0, destY = 0, destW = 0, destH = 0;
};
void FakeDisplayReset();                 // closed, no picture, no scripted failures, counts 0
void FakeDisplayFailOpen(bool fail);     // PlatformDisplayOpen refuses while set
void FakeDisplayFailSetMode(bool fail);  // PlatformDisplaySetMode refuses while set
void FakeDisplayLose();                  // presentations report lost until a restore
void FakeDisplayFailRestore(bool fail);  // PlatformDisplayRestore refuses while set
bool FakeDisplayIsOpen();
bool FakeDisplayAccelerated();
bool FakeDisplayFullScreenMode();         // PlatformDisplaySetMode succeeded since the open
int32_t FakeDisplayPresentCount();        // pictures shown
int32_t FakeDisplayRestoreCount();        // restore requests
bool FakeDisplayPauseShown();             // the presentation draws its pause notice
const FakeDisplayFrame& FakeDisplayLastFrame();

// ---- Audio device and sound buffers --------------------------------------------------------
// Every buffer operation the game makes, in order. Buffers are numbered from 1 in creation
// order (FakeSoundId); `value` is the byte count, offset, pan, volume or the status answered.
enum FakeSoundOp : int32_t {
  FSOUND_CREATE,
  FSOUND_DUPLICATE,
  FSOUND_LOCK,
  FSOUND_UNLOCK,
  FSOUND_STATUS,
  FSOUND_STOP,
  FSOUND_POSITION,
  FSOUND_PAN,
  FSOUND_VOLUME,
  FSOUND_PLAY,
  FSOUND_RELEASE
};
struct PlatformSoundBuffer;
struct FakeSoundCall {
  FakeSoundOp op;
  PlatformSoundBuffer* buffer;
  int32_t id;
  int64_t value;
};
const std::vector<FakeSoundCall>& FakeSoundCalls();
void FakeClearSoundCalls();
int32_t FakeSoundId(const PlatformSoundBuffer* b);  // 0 for null or unknown
// The format a buffer was created with (a duplicate reports its original's).
struct PlatformWaveFormat;
bool FakeSoundFormat(const PlatformSoundBuffer* b, PlatformWaveFormat* format);
// Failures to script; each holds until changed (FakeAudioReset clears them).
struct FakeAudioFailures {
  bool open = false;
  bool create = false;
  bool duplicate = false;       // every duplicate fails
  int32_t duplicateAfter = -1;  // >= 0: that many duplicates succeed, the rest fail
  bool lock = false;
  bool status = false;
};
void FakeAudioFail(const FakeAudioFailures& failures);
bool FakeAudioIsOpen();
int32_t FakeAudioOpenCount();  // successful opens since the last reset
int32_t FakeSoundBuffersAlive();
// The scripted device plays at this rate; rendering advances every voice as the real one would.
constexpr int32_t FAKE_AUDIO_RATE = 44100;
// Mixes the next `frames` stereo frames; appends them to out when given.
void FakeAudioRender(int32_t frames, std::vector<float>* out = nullptr);
// Whether PlatformAudioPause holds the device (rendering then gives silence, voices stay put).
bool FakeAudioPaused();
// Closes the device (freeing every buffer), clears the record and the failures, unpauses.
void FakeAudioReset();

// ---- MIDI stream and the auto-reset signal (music) -----------------------------------------
// The scripted stream runs the real sequencer on a clock of its own that only the test moves;
// buffers come back through the callback on the thread that moves it.
void FakeMidiResetAll();                // closed, clock 0, no record, no scripted failures
void FakeMidiAdvance(uint32_t millis);  // moves the stream's clock on and plays what falls due
void FakeMidiAdvanceMicros(uint64_t micros);
uint64_t FakeMidiClockMicros();
// Holds the stream's sequencer or lets it go on: what the audio device's pause does to it.
void FakeMidiHold(bool paused);
// Every channel message the synthesiser got, with the stream's clock when it was sent.
struct FakeMidiMessage {
  uint64_t micros;
  uint32_t message;  // status | data1 << 8 | data2 << 16
};
std::vector<FakeMidiMessage> FakeMidiMessages();
void FakeMidiClearMessages();
// Operations that can be made to fail; each holds until changed.
struct FakeMidiFailures {
  bool open = false;
  bool timeDivision = false;
  bool out = false;
  int32_t outAfter = -1;  // >= 0: that many outs succeed, the rest fail
  bool restart = false;
  bool stop = false;
  bool reset = false;
};
void FakeMidiFail(const FakeMidiFailures& failures);
bool FakeMidiIsOpen();
int32_t FakeMidiOpenCount();  // successful opens since the reset
int32_t FakeMidiOutCount();   // buffers queued since the reset
int32_t FakeMidiQueued();     // buffers queued and not yet handed back
uint32_t FakeMidiTimeDivision();
uint64_t FakeMidiStreamMicros();  // stream time since the last restart from the beginning
// Signal waits that timed out and the milliseconds they spent; a time-out also moves the
// scripted clock (FakeMicros) on by its length instead of sleeping.
int32_t FakeSignalTimeouts();
uint64_t FakeSignalTimedOutMillis();
