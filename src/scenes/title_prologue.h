// The title screen with its orbiting globes and the scrolling prologue text.
#pragma once
#include <cstdint>

// 28 lines and a null end marker; an empty text is a blank line.
inline constexpr int32_t PROLOGUE_LINE_COUNT = 28;
extern const char* const PrologueLines[PROLOGUE_LINE_COUNT + 1];

int32_t EnterTitle();
int32_t TitleFrame();
int32_t EnterPrologue();
int32_t PrologueFrame();
