// The start-up failure message: one numbered line per failed service, in a fixed order.
#include "app/fatal_report.h"

#include <cstdio>

#include "app/frame_cycle.h"
#include "app/language.h"
#include "app/message_loop.h"
#include "platform/platform.h"

namespace {

// The order in which failed services are listed.
constexpr uint32_t ReportOrder[] = {ERR_INIT,       ERR_DIRECTDRAW, ERR_DIRECT3D, ERR_DIRECTSOUND,
                                    ERR_MIDISTREAM, ERR_FILE,       ERR_MEMORY,   ERR_SERIOUS};

}  // namespace

std::string FatalReportText(uint32_t flags) {
  if (flags == 0) return {};
  std::string text = ErrorHeadingText();
  int n = 1;
  for (const uint32_t bit : ReportOrder) {
    if ((flags & bit) == 0) continue;
    const char* format = ErrorLineFormat(bit);
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, format, n++);
    text += buffer;
  }
  text += ErrorClosingText();
  return text;
}

int32_t ReportFatalError() {
  if (ErrorFlags == 0) return 0;
  const std::string text = FatalReportText(ErrorFlags);
  // Nobody could close a box in an automatic run: the terminal is told instead.
  if (AutomaticRun()) {
    std::fprintf(stderr, "ZIZID-OZAVAV: %s\n", text.c_str());
  } else {
    PlatformMessageBox(text.c_str(), "ZIZID-OZAVAV", PMB_OK, PMB_ICONSTOP);
  }
  return 1;
}
