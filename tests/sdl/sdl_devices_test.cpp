// The real machine's devices, on SDL's own stand-ins: a sound device that goes away and comes
// back, and a joystick plugged in after the start and pulled out while held.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/platform.h"
#include "platform/sdl/sdl_audio.h"

namespace {

class SdlDevices : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
  }
  static void Pump() {
    while (PlatformEventWaiting()) {
      PlatformEvent ignored;
      PlatformNextEvent(&ignored);
    }
  }
  static void Send(Uint32 type, Uint32 which) {
    SDL_Event e{};
    e.adevice.type = type;
    e.adevice.which = which;
    e.adevice.iscapture = 0;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    Pump();
  }
};

// The game goes on silent while its device is gone (its voices keep answering) and takes the
// default device again when one appears; news of other devices changes nothing.
TEST_F(SdlDevices, ALostSoundDeviceLeavesTheGameSilentUntilOneComesBack) {
  ASSERT_TRUE(PlatformAudioOpen());
  const uint32_t device = SdlAudioDeviceId();
  ASSERT_NE(device, 0u);
  const PlatformWaveFormat format{1, 1, 11025, 11025, 1, 8};
  PlatformSoundBuffer* voice = PlatformSoundCreate(format, 1000);
  ASSERT_NE(voice, nullptr);
  Send(SDL_AUDIODEVICEREMOVED, device + 100);
  EXPECT_EQ(SdlAudioDeviceId(), device) << "another device went away";
  Send(SDL_AUDIODEVICEREMOVED, device);
  EXPECT_EQ(SdlAudioDeviceId(), 0u);
  bool playing = false;
  EXPECT_TRUE(PlatformSoundPlay(voice));
  EXPECT_TRUE(PlatformSoundIsPlaying(voice, &playing));
  EXPECT_TRUE(PlatformSoundStop(voice));
  EXPECT_NE(PlatformSoundCreate(format, 500), nullptr) << "loading goes on while silent";
  Send(SDL_AUDIODEVICEADDED, 0);
  EXPECT_NE(SdlAudioDeviceId(), 0u);
  EXPECT_EQ(SdlAudioRate(), 44100) << "the mixer keeps its rate over the new device";
  EXPECT_TRUE(PlatformSoundPlay(voice));
  Send(SDL_AUDIODEVICEREMOVED, SdlAudioDeviceId());
  PlatformAudioClose();  // closing while silent frees everything all the same
  EXPECT_EQ(SdlAudioRate(), 0);
}

// The one slot the game reads is there from the start; the first device plugged in fills it, its
// buttons read through, and pulling it out lets go of them until the next one comes.
TEST_F(SdlDevices, AJoystickPluggedInLaterIsReadAndReleasedWhenPulledOut) {
  ASSERT_EQ(PlatformJoystickCount(), 1);
  PlatformJoyCaps caps{};
  ASSERT_TRUE(PlatformJoystickCaps(0, &caps));
  EXPECT_EQ(std::tuple(caps.xMin, caps.xMax, caps.yMax), std::tuple(0u, 65535u, 65535u));
  PlatformJoyPos pos{};
  EXPECT_FALSE(PlatformJoystickRead(0, &pos)) << "nothing plugged in yet";
  for (int plug = 0; plug < 2; ++plug) {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_ARCADE_STICK, 2, 8, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    Pump();
    ASSERT_TRUE(PlatformJoystickRead(0, &pos)) << "plug " << plug;
    EXPECT_EQ(pos.buttons, 0u);
    SDL_Joystick* stick = SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    ASSERT_NE(stick, nullptr);
    SDL_JoystickSetVirtualButton(stick, 0, SDL_PRESSED);
    SDL_JoystickSetVirtualAxis(stick, 0, SDL_JOYSTICK_AXIS_MAX);
    ASSERT_TRUE(PlatformJoystickRead(0, &pos));
    EXPECT_EQ(pos.buttons, 1u);
    EXPECT_EQ(pos.x, 65535u);
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
    Pump();
    EXPECT_FALSE(PlatformJoystickRead(0, &pos)) << "a pulled-out device still reads";
  }
}

}  // namespace
