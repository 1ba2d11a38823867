// The real machine's presentation: indexed pictures through a palette into one streaming texture.
#pragma once
#include <cstdint>

#include "platform/platform.h"

// The texture's 32-bit pixel (opaque ARGB) for each palette index.
void SdlBuildLookup(const PlatformColor palette[256], uint32_t lookup[256]);
// Converts an indexed picture to 32-bit pixels through the lookup; outPitch is in bytes.
void SdlConvertIndexed(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                       const uint32_t lookup[256], void* out, int32_t outPitch);
