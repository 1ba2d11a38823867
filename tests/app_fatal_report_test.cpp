// The start-up failure report: heading, numbered lines in a fixed order, closing, one box.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "app/fatal_report.h"
#include "app/frame_cycle.h"
#include "platform/fake/fake_platform.h"
#include "platform/platform.h"

namespace {

struct ReportCase {
  uint32_t flags;
  const char* text;
};

class FatalReport : public testing::TestWithParam<ReportCase> {};

TEST_P(FatalReport, ListsEachSetBitNumberedByPosition) {
  FakeSystemReset();
  ErrorFlags = GetParam().flags;
  EXPECT_EQ(ReportFatalError(), 1);
  ASSERT_EQ(FakeMessageBoxes().size(), 1u);
  const FakeMessageBoxRecord& box = FakeMessageBoxes()[0];
  EXPECT_EQ(
      std::tuple(box.text, box.caption, box.buttons, box.icon),
      std::tuple(std::string(GetParam().text), std::string("ZIZID-OZAVAV"), PMB_OK, PMB_ICONSTOP));
}

INSTANTIATE_TEST_SUITE_P(
    Flags, FatalReport,
    testing::Values(
        ReportCase{32, "エラーが発生！\n\n0001:MIDI Stream初期化に失敗しました\n\n終了します。"},
        ReportCase{2, "エラーが発生！\n\n0001:DirectDraw初期化に失敗しました\n\n終了します。"},
        ReportCase{10,
                   "エラーが発生！\n\n0001:DirectDraw初期化に失敗しました\n"
                   "0002:DirectSound初期化に失敗しました\n\n終了します。"},
        ReportCase{16, "エラーが発生！\n\n\n終了します。"},  // a bit without a line
        ReportCase{0x10000 | 0x200 | 16 | 1,
                   "エラーが発生！\n\n0001:初期化に失敗しました\n0002:メモリ操作に失敗しました\n"
                   "0003:重大エラーが発生しました\n\n終了します。"}));

TEST(FatalReportAll, EveryLineFitsInOrder) {
  const std::string text = FatalReportText(0xFFFFFFFFu);
  const char* lines[] = {"0001:初期化",      "0002:DirectDraw",  "0003:Direct3D",
                         "0004:DirectSound", "0005:MIDI Stream", "0006:ファイル操作",
                         "0007:メモリ操作",  "0008:重大エラー"};
  size_t at = 0;
  for (const char* line : lines) {
    const size_t found = text.find(line, at);
    ASSERT_NE(found, std::string::npos) << line;
    at = found;
  }
  EXPECT_EQ(text.rfind("\n終了します。"), text.size() - std::string("\n終了します。").size());
}

TEST(FatalReportNone, ShowsNothingForNoFlags) {
  FakeSystemReset();
  ErrorFlags = 0;
  EXPECT_EQ(ReportFatalError(), 0);
  EXPECT_TRUE(FakeMessageBoxes().empty());
}

}  // namespace
