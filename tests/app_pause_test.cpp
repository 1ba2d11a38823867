// The pause key: no frame runs while paused, exactly as with an inactive window, so the game
// goes on afterwards as if the pause had never been; the sound holds and only the presentation
// carries the notice.
#include <string>
#include <utility>
#include <vector>

#include "app_shell_fixture.h"
#include "gfx/surface.h"
#include "input/pad.h"

namespace {

constexpr uint64_t SECOND = 1'000'000;

using Timeline = std::vector<std::pair<PlatformEvent, uint64_t>>;

class Pause : public ShellTest {
 protected:
  void TearDown() override {
    FrameLimit = 0;
    SetGamePaused(false);
    ShellTest::TearDown();
  }
  // The real scenes from the services on, in the loop with these events, for `frames` frames;
  // the checksums of the screen and the state at the end.
  static std::string Play(const Timeline& events, int64_t frames) {
    SystemFrame();
    AppActive = 1;
    FrameLimit = frames;
    for (const auto& [event, at] : events) FakeQueueEvent(event, at);
    RunLoop(60 * SECOND);
    return ChecksumLine();
  }
};

TEST_F(Pause, APausedGameGoesOnExactlyAsIfItHadNotBeenPaused) {
  const std::string straight = Play({}, 200);
  const uint64_t straightTime = FakeMicros();
  TearDown();
  SetUp();
  const std::string paused = Play(
      {
          {PlatformEvent{PEV_KEYDOWN, 'P', 0}, SECOND},
          {PlatformEvent{PEV_KEYUP, 'P', 0}, SECOND + 100000},
          {PlatformEvent{PEV_KEYDOWN, 'P', PEV_KEY_REPEAT}, SECOND + 200000},  // no toggle
          {PlatformEvent{PEV_PAUSE, 0, 0}, 3 * SECOND},  // a controller's Start goes on
      },
      200);
  EXPECT_EQ(paused, straight);
  EXPECT_NEAR(static_cast<double>(FakeMicros() - straightTime), 2.0 * SECOND, 0.05 * SECOND);
  EXPECT_FALSE(GamePaused);
  EXPECT_FALSE(FakeAudioPaused());
  EXPECT_FALSE(FakeDisplayPauseShown());
}

TEST_F(Pause, WhilePausedNoFrameRunsTheSoundHoldsAndOnlyThePresentationShowsTheNotice) {
  SystemFrame();
  AppActive = 1;
  FakeQueueEvent(PlatformEvent{PEV_KEYDOWN, VK_PAUSE, 0}, SECOND);
  RunLoop(3 * SECOND);
  EXPECT_NEAR(ClockChanges, 60u, 1u);  // frames stopped at the pause
  EXPECT_TRUE(GamePaused);
  EXPECT_TRUE(FakeAudioPaused());
  EXPECT_TRUE(FakeDisplayPauseShown());
  // The picture handed to the presentation is the game's own, notice-free, screen.
  const FakeDisplayFrame& shown = FakeDisplayLastFrame();
  ASSERT_EQ(shown.width, SCREEN_WIDTH);
  for (int32_t y = 0; y < SCREEN_HEIGHT; ++y)
    ASSERT_EQ(std::vector<uint8_t>(shown.pixels.begin() + y * SCREEN_WIDTH,
                                   shown.pixels.begin() + (y + 1) * SCREEN_WIDTH),
              std::vector<uint8_t>(ScreenSurface->pixels + y * ScreenSurface->pitch,
                                   ScreenSurface->pixels + y * ScreenSurface->pitch + SCREEN_WIDTH))
        << "row " << y;
}

}  // namespace
