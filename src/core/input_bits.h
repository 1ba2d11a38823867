// What the input layer hands every scene: the InputBits and the reading of one frame.
#pragma once
#include <cstdint>

// InputBits: a bit is 1 while its control is held.
constexpr uint32_t INPUT_UP = 0x1;
constexpr uint32_t INPUT_DOWN = 0x2;
constexpr uint32_t INPUT_LEFT = 0x4;
constexpr uint32_t INPUT_RIGHT = 0x8;
constexpr uint32_t INPUT_BUTTON1 = 0x10;
constexpr uint32_t INPUT_BUTTON2 = 0x20;
constexpr uint32_t INPUT_BUTTON3 = 0x40;
constexpr uint32_t INPUT_BUTTON4 = 0x80;
constexpr uint32_t INPUT_BUTTON5 = 0x100;
constexpr uint32_t INPUT_BUTTON6 = 0x200;
constexpr uint32_t INPUT_BUTTON7 = 0x400;
constexpr uint32_t INPUT_BUTTON8 = 0x800;
constexpr uint32_t INPUT_ANY_BUTTON = 0xFF0;
constexpr uint32_t INPUT_ESCAPE = 0x8000;

// What PadRead fills: the bits, then an analogue reading relative to the centres.
struct PadReport {
  uint32_t bits;
  int32_t x, y, z, r;                      // position - centre, or -1/0/+1 from the keys
  int32_t xRange, yRange, zRange, rRange;  // half ranges, or 1,1,0,0 from the keys
};
