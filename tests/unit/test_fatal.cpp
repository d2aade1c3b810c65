// The fatal report: its exact text, and the end of the program with exit code -1.
#include <gtest/gtest.h>

#include <cstdio>

#include "base/arithmetic.h"
#include "base/fatal.h"
#include "support/platform_facts.h"

namespace kelvora {
namespace {

TEST(Fatal, ReportText) {
    EXPECT_EQ(FatalReportText(std::nullopt, "不能整除于零"), "运行时出错!\r\n\r\n错误信息：不能整除于零\r\n");
    EXPECT_EQ(FatalReportText(7, ""), "运行时出错!\r\n\r\n错误代码：7\r\n\r\n");
    EXPECT_EQ(OutOfMemoryMessage(4096), "分配 4096 字节内存失败!");
}

#if GTEST_HAS_DEATH_TEST
// The message box of these tests writes the raw GBK report, so the death test can match it.
void RawBox(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stderr); }
#endif

TEST(FatalDeathTest, DivisionByZeroEndsTheProgramWithItsMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
#if GTEST_HAS_DEATH_TEST
    EXPECT_EXIT(
        {
            SetFatalMessageBox(RawBox);
            IntDiv(1, 0);
        },
        ::testing::ExitedWithCode(testing::FatalExitCode()), "不能整除于零");
#else
    GTEST_SKIP() << "no death tests where a test cannot fork (Node)";
#endif
#if GTEST_HAS_DEATH_TEST
    EXPECT_EXIT(
        {
            SetFatalMessageBox(RawBox);
            Remainder(1, 0);
        },
        ::testing::ExitedWithCode(testing::FatalExitCode()), "不能求余数于零");
#else
    GTEST_SKIP() << "no death tests where a test cannot fork (Node)";
#endif
}

TEST(Arithmetic, TruncationTowardZero) {
    EXPECT_EQ(IntDiv(7, 2), 3);
    EXPECT_EQ(IntDiv(-7, 2), -3);
    EXPECT_EQ(Remainder(-7, 2), -1);
    EXPECT_EQ(Remainder(7, -2), 1);
    EXPECT_EQ(Rgb(33, 32, 33), 0x212021u);
    std::vector<int32_t> list{5, -1, 3, 3};
    SortAscending(list);
    EXPECT_EQ(list, (std::vector<int32_t>{-1, 3, 3, 5}));
}

}  // namespace
}  // namespace kelvora
