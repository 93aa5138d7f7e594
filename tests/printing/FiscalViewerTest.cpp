#include "printing/FiscalProtocolViewer.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

FiscalProtocolRow Row(int day, int month, int year, int flag, std::optional<int32_t> ticket,
                      std::optional<int16_t> exflag = std::nullopt) {
    FiscalProtocolRow row;
    row.when = {year, month, day, 10, 20, 30};
    row.flag = static_cast<int16_t>(flag);
    row.desr = flag == 0 ? "НОРМА" : "Ошибка передачи";
    row.ticket = ticket;
    row.exflag = exflag;
    return row;
}

class FiscalViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        log.Append(Row(30, 12, 2008, 0, 41));
        log.Append(Row(31, 12, 2008, 1, 42, 5));
        log.Append(Row(1, 1, 2009, 0, std::nullopt));
    }
    MemoryFiscalProtocolLog log;
    VirtualClock clock{{2009, 1, 1, 12, 0, 0}};
    RecordingOperatorLog operatorLog;
};

TEST_F(FiscalViewerTest, OpensOnTodayWithItsColumns) {
    FiscalProtocolViewerModel viewer(log, clock);
    viewer.Open();
    EXPECT_EQ(viewer.FromText(), "01.01.09");
    EXPECT_EQ(viewer.ToText(), "01.01.09");
    EXPECT_EQ(viewer.FilterText(), "_DATE >= 01.01.09 AND _DATE <= 01.01.09");
    ASSERT_EQ(viewer.Rows().size(), 1u);
    EXPECT_EQ(viewer.Rows()[0].cells,
              (std::array<std::string, 6>{"", "НОРМА", "01.01.2009", "10:20:30", "0", ""}));
    EXPECT_EQ(kProtocolColumns[0], "Квитанция");
    EXPECT_EQ(kProtocolColumns[5], "Доп. код");
}

TEST_F(FiscalViewerTest, SearchesADateRangeAndMarksErrorsRed) {
    FiscalProtocolViewerModel viewer(log, clock);
    viewer.SetFromText("30.12.08");
    viewer.SetToText("31.12.2008");
    ASSERT_TRUE(viewer.Search());
    ASSERT_EQ(viewer.Rows().size(), 2u);
    EXPECT_FALSE(viewer.Rows()[0].red);
    EXPECT_TRUE(viewer.Rows()[1].red);
    EXPECT_EQ(viewer.Rows()[1].cells[0], "42");
    EXPECT_EQ(viewer.Rows()[1].cells[4], "1");
    EXPECT_EQ(viewer.Rows()[1].cells[5], "5");

    viewer.SetToText("32.12.08");
    EXPECT_FALSE(viewer.Search());
    EXPECT_EQ(viewer.Rows().size(), 2u) << "a bad date leaves the grid as it was";
}

struct DateCase {
    const char* text;
    std::optional<FiscalDate> date;
};

class FieldDateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(FieldDateTest, Parses) {
    EXPECT_EQ(ParseFieldDate(GetParam().text), GetParam().date);
}

INSTANTIATE_TEST_SUITE_P(Texts, FieldDateTest,
                         ::testing::Values(DateCase{"31.12.08", FiscalDate{2008, 12, 31}},
                                           DateCase{"29.02.08.", FiscalDate{2008, 2, 29}},
                                           DateCase{" 05.03.2009 ", FiscalDate{2009, 3, 5}},
                                           DateCase{"29.02.09", std::nullopt},
                                           DateCase{"1.13.09", std::nullopt},
                                           DateCase{"  .  .  ", std::nullopt},
                                           DateCase{"05.03.209", std::nullopt},
                                           DateCase{"", std::nullopt}));

TEST_F(FiscalViewerTest, PurgeRemovesUpToTheDayAndLogsBothEvents) {
    FiscalProtocolPurgeModel purge(log, clock, operatorLog);
    purge.Open();
    EXPECT_EQ(purge.DateText(), "01.01.09");
    EXPECT_EQ(purge.Status(), "Готовность");
    purge.SetDateText("31.12.08");
    ASSERT_TRUE(purge.Purge());
    EXPECT_EQ(purge.Status(), "База очищена!");
    EXPECT_EQ(purge.DateText(), "31.12.2008");
    ASSERT_EQ(log.Rows().size(), 1u);
    EXPECT_EQ(log.Rows()[0].when.year, 2009);
    ASSERT_TRUE(purge.Pack());
    EXPECT_EQ(purge.Status(), "Упаковано!");
    EXPECT_EQ(log.Packs(), 1);
    const auto entries = operatorLog.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].event, 11);
    EXPECT_EQ(entries[0].values, (std::vector<std::string>{"31.12.2008"}));
    EXPECT_EQ(entries[1].event, 30);
    purge.Close();
    EXPECT_EQ(purge.Status(), "Готовность");
}

TEST_F(FiscalViewerTest, PurgeOfABadDateDoesNothing) {
    FiscalProtocolPurgeModel purge(log, clock, operatorLog);
    purge.Open();
    purge.SetDateText("31.02.08");
    EXPECT_FALSE(purge.Purge());
    EXPECT_EQ(log.Rows().size(), 3u);
    EXPECT_TRUE(operatorLog.Entries().empty());
}

}  // namespace
}  // namespace miradel
