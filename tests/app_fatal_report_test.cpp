// The start-up failure report: numbered lines in a fixed order, bits without a line, no flags.
#include <gtest/gtest.h>

#include <string>

#include "app/fatal_report.h"
#include "app/frame_cycle.h"
#include "platform/fake/fake_platform.h"

TEST(FatalReport, NumbersTheSetBitsInTheirFixedOrderAndSkipsBitsWithoutALine) {
  EXPECT_EQ(FatalReportText(0x10000 | 0x200 | 16 | 1),
            "エラーが発生！\n\n0001:初期化に失敗しました\n0002:メモリ操作に失敗しました\n"
            "0003:重大エラーが発生しました\n\n終了します。");
  const std::string all = FatalReportText(0xFFFFFFFFu);
  size_t at = 0;
  for (const char* line :
       {"0001:初期化", "0002:DirectDraw", "0003:Direct3D", "0004:DirectSound", "0005:MIDI Stream",
        "0006:ファイル操作", "0007:メモリ操作", "0008:重大エラー"}) {
    at = all.find(line, at);
    ASSERT_NE(at, std::string::npos) << line;
  }
  EXPECT_TRUE(all.ends_with("\n\n終了します。"));
}

TEST(FatalReport, ShowsOneBoxForFlagsAndNothingWithoutThem) {
  FakeSystemReset();
  ErrorFlags = 0;
  EXPECT_EQ(ReportFatalError(), 0);
  EXPECT_TRUE(FakeMessageBoxes().empty());
  ErrorFlags = 16;  // a bit without a line still reports
  EXPECT_EQ(ReportFatalError(), 1);
  ASSERT_EQ(FakeMessageBoxes().size(), 1u);
  EXPECT_EQ(FakeMessageBoxes()[0].text, "エラーが発生！\n\n\n終了します。");
}
