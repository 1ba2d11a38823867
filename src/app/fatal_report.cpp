// The start-up failure message: one numbered line per failed service, in a fixed order.
#include "app/fatal_report.h"

#include <cstdio>

#include "app/frame_cycle.h"
#include "app/message_loop.h"
#include "platform/platform.h"

namespace {

struct ReportLine {
  uint32_t bit;
  const char* format;
};

constexpr ReportLine ReportLines[] = {
    {ERR_INIT, "%04d:初期化に失敗しました\n"},
    {ERR_DIRECTDRAW, "%04d:DirectDraw初期化に失敗しました\n"},
    {ERR_DIRECT3D, "%04d:Direct3D初期化に失敗しました\n"},
    {ERR_DIRECTSOUND, "%04d:DirectSound初期化に失敗しました\n"},
    {ERR_MIDISTREAM, "%04d:MIDI Stream初期化に失敗しました\n"},
    {ERR_FILE, "%04d:ファイル操作に失敗しました\n"},
    {ERR_MEMORY, "%04d:メモリ操作に失敗しました\n"},
    {ERR_SERIOUS, "%04d:重大エラーが発生しました\n"},
};

}  // namespace

std::string FatalReportText(uint32_t flags) {
  if (flags == 0) return {};
  std::string text = "エラーが発生！\n\n";
  int n = 1;
  for (const ReportLine& line : ReportLines) {
    if ((flags & line.bit) == 0) continue;
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, line.format, n++);
    text += buffer;
  }
  text += "\n終了します。";
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
