// Windows machine: the system's MIDI stream (midiStreamOpen and its kin) on the MIDI mapper.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h: the multimedia header needs its types.
#include <mmsystem.h>

#include "platform/win/win_midi_system.h"

namespace {

HMIDISTRM Stream = nullptr;
WinMidiDoneFn Done = nullptr;

void CALLBACK StreamProc(HMIDIOUT, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR) {
  if (message != MOM_DONE || Done == nullptr) return;
  Done(reinterpret_cast<MIDIHDR*>(param1)->dwUser);
}

bool MapperOpen(WinMidiDoneFn done) {
  if (Stream != nullptr) return false;
  Done = done;
  UINT device = MIDI_MAPPER;
  if (midiStreamOpen(&Stream, &device, 1, reinterpret_cast<DWORD_PTR>(StreamProc), 0,
                     CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
    Stream = nullptr;
    return false;
  }
  return true;  // a new stream starts paused
}

bool MapperSetTimeDivision(uint32_t division) {
  MIDIPROPTIMEDIV property{sizeof property, division};
  return midiStreamProperty(Stream, reinterpret_cast<LPBYTE>(&property),
                            MIDIPROP_SET | MIDIPROP_TIMEDIV) == MMSYSERR_NOERROR;
}

void* MapperPrepare(char* data, uint32_t bufferLength, uintptr_t tag) {
  auto* header = new MIDIHDR{};
  header->lpData = data;
  header->dwBufferLength = bufferLength;
  header->dwUser = tag;
  if (midiOutPrepareHeader(reinterpret_cast<HMIDIOUT>(Stream), header, sizeof *header) !=
      MMSYSERR_NOERROR) {
    delete header;
    return nullptr;
  }
  return header;
}

bool MapperOut(void* header, uint32_t bytesRecorded) {
  auto* h = static_cast<MIDIHDR*>(header);
  h->dwBytesRecorded = bytesRecorded;
  return midiStreamOut(Stream, h, sizeof *h) == MMSYSERR_NOERROR;
}

bool MapperUnprepare(void* header) {
  auto* h = static_cast<MIDIHDR*>(header);
  if (midiOutUnprepareHeader(reinterpret_cast<HMIDIOUT>(Stream), h, sizeof *h) !=
      MMSYSERR_NOERROR) {
    return false;
  }
  delete h;
  return true;
}

bool MapperRestart() { return midiStreamRestart(Stream) == MMSYSERR_NOERROR; }

bool MapperPause(bool paused) {
  return (paused ? midiStreamPause(Stream) : midiStreamRestart(Stream)) == MMSYSERR_NOERROR;
}

bool MapperStop() { return midiStreamStop(Stream) == MMSYSERR_NOERROR; }

bool MapperReset() { return midiOutReset(reinterpret_cast<HMIDIOUT>(Stream)) == MMSYSERR_NOERROR; }

bool MapperClose() {
  if (Stream == nullptr) return false;
  const bool closed = midiStreamClose(Stream) == MMSYSERR_NOERROR;
  Stream = nullptr;
  Done = nullptr;
  return closed;
}

}  // namespace

const WinMidiSystem WinMidiMapper = {MapperOpen,      MapperSetTimeDivision, MapperPrepare,
                                     MapperOut,       MapperUnprepare,       MapperRestart,
                                     MapperStop,      MapperReset,           MapperClose,
                                     MapperPause};
