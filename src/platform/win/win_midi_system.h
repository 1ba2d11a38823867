// The system's MIDI stream as the Windows machine drives it. Its own names keep mmsystem.h (whose
// MIDIHDR and MOM_DONE the platform layer defines itself) out of the files that use it; a table
// of functions lets tests stand in for the system.
#pragma once
#include <cstdint>

// Called on the system's thread when a buffer has played; `tag` is the one given to prepare.
using WinMidiDoneFn = void (*)(uintptr_t tag);

struct WinMidiSystem {
  bool (*open)(WinMidiDoneFn done);  // opens paused
  bool (*setTimeDivision)(uint32_t division);
  // A system buffer header over `data`; null when the system refuses it.
  void* (*prepare)(char* data, uint32_t bufferLength, uintptr_t tag);
  bool (*out)(void* header, uint32_t bytesRecorded);
  bool (*unprepare)(void* header);  // frees the header as well, once the system lets it go
  bool (*restart)();
  bool (*stop)();   // the system hands every queued buffer back through `done`
  bool (*reset)();  // every note off
  bool (*close)();
  bool (*pause)(bool paused);  // holds the stream where it is, or lets it go on
};

// midiStreamOpen and its kin on the MIDI mapper: the system's General MIDI synthesiser.
extern const WinMidiSystem WinMidiMapper;
