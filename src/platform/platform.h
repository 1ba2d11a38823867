// The whole surface between the game and the machine. sdl/ is the real machine, fake/ the
// scripted one that tests drive; the game links unchanged against either.
#pragma once
#include <cstddef>
#include <cstdint>

// ---- Clock and pacing --------------------------------------------------------------------
uint32_t PlatformTicks();                  // milliseconds since start, wraps like a 32-bit clock
uint64_t PlatformMicros();                 // monotonic microseconds, for frame pacing
void PlatformWaitUntilMicros(uint64_t t);  // sleeps until t on PlatformMicros' clock, no spinning
int PlatformDisplayRefreshHz();            // refresh of the window's display, 0 when unknown

// ---- Diagnostics -------------------------------------------------------------------------
// One line of the game's own diagnostic output: shown only when the player asks for it.
void PlatformDebugOutput(const char* text);
// One line the player always sees: a warning, an error, or the answer to something asked for.
void PlatformNotice(const char* text);
// Called first thing: standard output and error reach the terminal the program was started from
// where they reach nothing yet (a Windows window program started from a console).
void PlatformAttachTerminal();

// ---- Window and its events ---------------------------------------------------------------
enum PlatformEventType : int32_t {
  PEV_NONE = 0,
  PEV_CLOSE,           // close box or window manager's close request
  PEV_ACTIVATE,        // a = 1 when the program became active, 0 when it lost it
  PEV_MOVE,            // a, b: client area's screen position
  PEV_SIZE,            // a, b: client area's size
  PEV_PAINT,           // the window's contents need showing again
  PEV_KEYDOWN,         // a: virtual key code (VK_*); b: PEV_KEY_* flags
  PEV_KEYUP,           // a: virtual key code (VK_*); b: PEV_KEY_* flags
  PEV_DISPLAY_LOST,    // presentation resources were lost (device reset); restore them
  PEV_SETTING_CHANGE,  // a display setting changed
  PEV_TERMINATE,       // the session or a signal ends the program: closes without asking
  PEV_PAUSE            // a game controller's pause button (Start, unless bound to a button)
};
// Flags of a key event: the key repeats; Alt was held when the key went down or up (read from
// the event itself, since the keyboard's state may have moved on by the time it is handled).
constexpr int32_t PEV_KEY_REPEAT = 1;
constexpr int32_t PEV_KEY_ALT = 2;
struct PlatformEvent {
  PlatformEventType type;
  int32_t a;
  int32_t b;
};
bool PlatformEventWaiting();                // is an event queued (does not remove it)
bool PlatformNextEvent(PlatformEvent* ev);  // removes the next event; false when none
// Sleeps until an event is queued or timeoutMs has passed; whether one is queued.
bool PlatformWaitForEvent(uint32_t timeoutMs);
// From now on an interrupt, termination or hang-up signal queues PEV_TERMINATE instead of
// killing the program. Called first thing, so nothing the game writes is cut off by one.
void PlatformCatchStopSignals();

struct PlatformWindowDesc {
  const char* title;
  int32_t clientWidth, clientHeight;  // 640x480 windowed
  int32_t minClientWidth, minClientHeight;
  bool fullScreen;
  const uint8_t* iconRgba;  // icon pixels, 8-bit RGBA rows, or null for none
  int32_t iconWidth, iconHeight;
};
bool PlatformCreateWindow(const PlatformWindowDesc& desc);  // made hidden; placed, then shown
// Whether the window reaches a screen: false when the only video driver at hand draws nowhere
// (no display in the environment) and the player did not choose that driver.
bool PlatformHasScreen();
// Puts the client area's top-left corner at (x, y) on the desktop (may lie off it) and sizes it.
void PlatformPlaceWindow(int32_t x, int32_t y, int32_t clientWidth, int32_t clientHeight);
void PlatformShowWindow();  // shown, raised and given the keyboard focus
void PlatformDestroyWindow();
bool PlatformWindowExists();
bool PlatformDesktopSize(int32_t* w, int32_t* h);
// Whether the desktop can show a 256-colour palette picture (false only below 8 bits per pixel).
bool PlatformCanShowPalette();
void PlatformGetClientArea(int32_t* x, int32_t* y, int32_t* w, int32_t* h);
void PlatformSetFullScreen(bool on);  // desktop full screen
bool PlatformIsFullScreen();
void PlatformShowCursor(bool show);

// ---- Message boxes -----------------------------------------------------------------------
enum PlatformMessageBoxButtons : int32_t { PMB_OK = 0, PMB_YESNO = 1 };
enum PlatformMessageBoxIcon : int32_t { PMB_ICONSTOP = 0, PMB_ICONQUESTION = 1 };
enum PlatformMessageBoxAnswer : int32_t {
  PMB_ANSWER_OK = 1,
  PMB_ANSWER_YES = 6,
  PMB_ANSWER_NO = 7
};
// Modal; text and caption are UTF-8. Returns the answer.
int32_t PlatformMessageBox(const char* text, const char* caption, PlatformMessageBoxButtons buttons,
                           PlatformMessageBoxIcon icon);

// ---- Single instance ---------------------------------------------------------------------
// True when a running copy owns a window of this class; that copy is asked to come to the front.
bool PlatformFindRunningInstance(const char* windowClass);
// Called once this copy's window exists: from now on later starts find it.
void PlatformClaimInstance(const char* windowClass);
void PlatformReleaseInstance();

// ---- Keyboard and joystick -----------------------------------------------------------------
bool PlatformKeyHeld(int32_t virtualKey);  // is the key down at this moment (VK_* codes)
// Keys the window acts on itself: Alt+Return switches the full screen, F12 takes a screenshot.
constexpr int32_t VK_MENU = 0x12;  // either Alt key
constexpr int32_t VK_PAUSE = 0x13;
constexpr int32_t VK_F12 = 0x7B;

struct PlatformJoyCaps {
  uint32_t xMin, xMax, yMin, yMax, zMin, zMax, rMin, rMax;
};
struct PlatformJoyPos {
  uint32_t x, y, z, r;
  uint32_t buttons;  // bit 0 = button 1
};
// Devices the driver supports: here the one slot the game reads, whether or not a device is in it
// yet; the first device plugged in (at start or later) fills it, and leaves it when unplugged.
int32_t PlatformJoystickCount();
bool PlatformJoystickCaps(int32_t id, PlatformJoyCaps* caps);
bool PlatformJoystickRead(int32_t id, PlatformJoyPos* pos);  // false: no valid reading

// ---- Display -------------------------------------------------------------------------------
struct PlatformColor {
  uint8_t r, g, b, flags;
};
enum PlatformDisplayResult : int32_t {
  PDR_OK = 0,
  PDR_LOST = 1,   // the presentation's resources were lost; PlatformDisplayRestore brings them back
  PDR_FAILED = 2  // nothing shown this time
};
// Opens the presentation on the main window with an accelerated or a software renderer.
bool PlatformDisplayOpen(bool accelerated);
// Full screen in a display mode of width x height when the display offers one, else on the whole
// desktop. False when neither works.
bool PlatformDisplaySetMode(int32_t width, int32_t height);
void PlatformDisplayClose();
// Shows an indexed picture through a palette. Windowed, its area is the rectangle given in screen
// coordinates (the client area's); in full screen, the whole screen. The picture fills its area as
// the scale setting says (4:3 with black bars by default), never smoothed between pixels.
PlatformDisplayResult PlatformDisplayPresent(const uint8_t* pixels, int32_t pitch, int32_t width,
                                             int32_t height, const PlatformColor palette[256],
                                             int32_t destX, int32_t destY, int32_t destW,
                                             int32_t destH);
bool PlatformDisplayRestore();  // re-creates lost presentation resources
// A small "PAUSE" notice drawn over the picture from the next presentation on. It is drawn by
// the presentation alone: the game's own picture never carries it.
void PlatformDisplayShowPause(bool shown);

// ---- Embedded resources ------------------------------------------------------------------
// The bytes of a resource built into the program, or false when there is none.
bool PlatformFindResource(const char* name, const char* type, const uint8_t** data, size_t* size);
// The folder that holds the executable, with a trailing '/', or "" when unknown.
const char* PlatformExecutableDir();
// The player's own folders, where the machine's players expect them, without a trailing
// separator, "" when the machine has none: the settings file's, and the one for what the game
// keeps between runs (the kept hi-score).
const char* PlatformSettingsFolder();
const char* PlatformStateFolder();

// ---- Audio device and sound buffers ------------------------------------------------------
struct PlatformWaveFormat {
  uint16_t formatTag;  // 1 = PCM
  uint16_t channels;
  uint32_t samplesPerSec;
  uint32_t avgBytesPerSec;
  uint16_t blockAlign;
  uint16_t bitsPerSample;
};
struct PlatformSoundBuffer;  // a voice with its own play position over shared samples

bool PlatformAudioOpen();        // opens the output device; false when there is none
void PlatformAudioClose();       // frees every buffer as well
// Holds every sound where it is, effects and music alike, or lets them go on from there.
void PlatformAudioPause(bool paused);
bool PlatformAudioDumpFailed();  // --audio-dump could not be made or written (told on stderr)
PlatformSoundBuffer* PlatformSoundCreate(const PlatformWaveFormat& format, uint32_t bytes);
PlatformSoundBuffer* PlatformSoundDuplicate(PlatformSoundBuffer* original);
// Write access to a byte range, as up to two regions.
bool PlatformSoundLock(PlatformSoundBuffer* b, uint32_t offset, uint32_t bytes, void** p1,
                       uint32_t* n1, void** p2, uint32_t* n2);
void PlatformSoundUnlock(PlatformSoundBuffer* b, void* p1, uint32_t n1, void* p2, uint32_t n2);
bool PlatformSoundIsPlaying(PlatformSoundBuffer* b, bool* playing);
bool PlatformSoundStop(PlatformSoundBuffer* b);
bool PlatformSoundSetPosition(PlatformSoundBuffer* b, uint32_t byteOffset);
bool PlatformSoundSetPan(PlatformSoundBuffer* b, int32_t pan);        // hundredths of a dB
bool PlatformSoundSetVolume(PlatformSoundBuffer* b, int32_t volume);  // hundredths of a dB, <= 0
bool PlatformSoundPlay(PlatformSoundBuffer* b);                       // once, from its position
void PlatformSoundRelease(PlatformSoundBuffer* b);

// ---- MIDI stream -------------------------------------------------------------------------
struct MIDIEVENT {
  uint32_t dwDeltaTime;
  uint32_t dwStreamID;
  uint32_t dwEvent;
};
struct MIDIHDR {
  char* lpData;
  uint32_t dwBufferLength;
  uint32_t dwBytesRecorded;
  uintptr_t dwUser;
  uint32_t dwFlags;
  uint32_t dwOffset;
};
constexpr uint32_t MEVT_SHORTMSG = 0x00;
constexpr uint32_t MEVT_TEMPO = 0x01;
constexpr uint32_t MEVT_NOP = 0x02;
constexpr uint32_t MOM_OPEN = 0x3C7;
constexpr uint32_t MOM_CLOSE = 0x3C8;
constexpr uint32_t MOM_DONE = 0x3C9;
constexpr uint32_t MOM_POSITIONCB = 0x3CA;
constexpr uint32_t MHDR_DONE = 0x1;
constexpr uint32_t MHDR_PREPARED = 0x2;
constexpr uint32_t MHDR_INQUEUE = 0x4;

// Runs on the sequencer's thread: MOM_DONE with the header that has been played.
using PlatformMidiCallback = void (*)(uint32_t message, uintptr_t instance, MIDIHDR* header);
bool PlatformMidiOpen(PlatformMidiCallback callback, uintptr_t instance);  // opens paused
bool PlatformMidiSetTimeDivision(uint32_t ticksPerQuarter);
bool PlatformMidiPrepare(MIDIHDR* header);
bool PlatformMidiUnprepare(MIDIHDR* header);
bool PlatformMidiOut(MIDIHDR* header);
bool PlatformMidiRestart();
bool PlatformMidiStop();   // hands every queued buffer back at once
bool PlatformMidiReset();  // all notes off, sustain off on every channel
bool PlatformMidiClose();

// ---- Auto-reset event shared by two threads ----------------------------------------------
struct PlatformSignal;
PlatformSignal* PlatformSignalCreate(const char* name);  // not signalled
void PlatformSignalSet(PlatformSignal* s);
bool PlatformSignalWait(PlatformSignal* s, uint32_t timeoutMs);  // false on time-out
void PlatformSignalDestroy(PlatformSignal* s);

// ---- Settings the port's long options hand to the machine ---------------------------------
enum ScaleMode : int32_t {
  SCALE_STRETCH = 0,  // fills the area, as the game did on the 4:3 screens of its time
  SCALE_ASPECT = 1,   // the largest 4:3 rectangle, centred, black bars beside or above it
  SCALE_INTEGER = 2   // the largest whole-number enlargement, centred
};

struct PlatformSettings {
  const char* soundFontPath = nullptr;  // --soundfont, else the first General MIDI font found
  const char* audioDumpPath = nullptr;  // --audio-dump: also write the device's output here
  ScaleMode scaleMode = SCALE_ASPECT;   // --scale
  const char* screenshotDir = nullptr;  // --screenshot-dir: where F12 saves; null = current folder
  int32_t musicVolume = 100;            // --music-volume, percent
  int32_t sfxVolume = 100;              // --sfx-volume, percent
  int32_t pictureRateLimit = 0;         // pictures shown per second at most; 0 shows every one
  bool verbose = false;                 // --verbose: the diagnostic output is shown
  bool japanese = false;                // message-box buttons in Japanese
};
// Set once by the entry, before the first frame.
void PlatformConfigure(const PlatformSettings& settings);
// What the entry set (the defaults before that).
const PlatformSettings& PlatformConfiguration();
