// The long options as the real machine's parts see them.
#pragma once
#include "platform/platform.h"

extern PlatformSettings SdlSettings;
