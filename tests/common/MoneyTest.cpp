#include "common/DateText.h"
#include "common/Money.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

TEST(Money, DisplayForms) {
    struct Case {
        Money amount;
        const char* text;
    } cases[] = {{0, "0.00"},      {5, "0.05"},     {1234, "12.34"}, {100, "1.00"},
                 {-105, "-1.05"}, {-5, "-0.05"},   {2147483647, "21474836.47"}};
    for (const Case& c : cases) {
        EXPECT_EQ(MoneyPanelText(c.amount), c.text);
        EXPECT_EQ(MoneyFieldText(c.amount), c.text);
        EXPECT_EQ(MoneyReceiptText(c.amount), c.text);
    }
    EXPECT_EQ(MoneyReceiptText(-2147483647 - 1), "-21474836.48");
}

TEST(Money, TalkTimeAndDateForms) {
    EXPECT_EQ(TalkTimeText(0), "00 : 00");
    EXPECT_EQ(TalkTimeText(187), "03 : 07");
    EXPECT_EQ(TalkTimeText(6000), "100 : 00");
    EXPECT_EQ(DateText({2009, 3, 5, 9, 5, 7}), "05.03.2009");
    EXPECT_EQ(TimeText({2009, 3, 5, 9, 5, 7}), "09:05:07");
}

}  // namespace
}  // namespace miradel
