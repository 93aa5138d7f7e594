// Dates, times and typed selections: what an operator types is read as a number or a date
// before anything is selected, and the report windows' date-and-time rule selects exactly the
// calls of the span.

#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "store/Selection.h"
#include "store/StoreError.h"

namespace miradel {
namespace {

using testing::At;
using testing::Call;
using testing::StoreFixture;

TEST(StoreDateValue, ReadsTheFormsOperatorsAndBoothsWrite) {
    struct Case {
        const char* text;
        CalendarDate expected;  // year 0: not a date
    };
    const Case cases[] = {
        {"05.03.2009", {2009, 3, 5}},
        {"5.3.2009", {2009, 3, 5}},
        {"31.12.08", {2008, 12, 31}},
        {" 1.1.50 ", {1950, 1, 1}},
        {"29.02.2008", {2008, 2, 29}},
        {"29.02.2009", {}},
        {"31.04.2009", {}},
        {"  .  .  ", {}},
        {"5.3", {}},
        {"5.3.209", {}},
        {"2009-03-05", {}},
        {"1'; DROP TABLE INFO;--", {}},
    };
    for (const Case& c : cases) {
        const auto date = ParseDate(c.text);
        if (c.expected.year == 0) {
            EXPECT_FALSE(date.has_value()) << c.text;
        } else {
            ASSERT_TRUE(date.has_value()) << c.text;
            EXPECT_EQ(*date, c.expected) << c.text;
        }
    }
    EXPECT_EQ(DisplayText(CalendarDate{2009, 3, 5}, DateStyle::Unpadded), "5.3.2009");
    EXPECT_EQ(DisplayText(CalendarDate{2009, 3, 5}, DateStyle::Short), "05.03.2009");
    EXPECT_EQ(DisplayText(TimeOfDay{9, 5, 7}, DateStyle::Unpadded), "9:5:7");
    EXPECT_EQ(DisplayText(TimeOfDay{9, 5, 7}, DateStyle::Short), "09:05:07");
    EXPECT_FALSE(ParseTime("24:00").has_value());
    EXPECT_FALSE(ParseTime("10:60").has_value());
    EXPECT_EQ(*ParseTime("9:5:7"), (TimeOfDay{9, 5, 7}));
}

TEST(StoreSelection, TypedTextThatIsNoNumberOrDateIsAnErrorNotASelection) {
    const std::pair<const char*, const char*> receipts[] = {
        {"12a", "20"}, {"", "20"}, {"10", "1 OR 1=1"}, {"99999999999999999999", "1"}};
    for (const auto& [from, to] : receipts) {
        EXPECT_THROW(Selection::ReceiptRange("TICKET", from, to), BadValueError) << from << to;
    }
    EXPECT_THROW(Selection::DateRange("05.03.2009", "yesterday"), BadValueError);
    EXPECT_THROW(ParseDateTimeSpan("05.03.2009", "10:00:00", "05.03.2009", "12:00"), BadValueError);
    EXPECT_THROW(ParseDateTimeSpan("05.03.2009", "  :  ", "05.03.2009", "12:00"), BadValueError);
    EXPECT_EQ(ParseNumberText(" 42 "), 42);
}

TEST(StoreSelection, FieldsAndValueKindsAreCheckedAgainstTheTable) {
    const TableDef& info = *FindTableDef("INFO");
    EXPECT_THROW(Selection().Where("NO_SUCH", Compare::Equal, int64_t{1}).ToSql(info), StoreError);
    EXPECT_THROW(Selection().Where("TICKET", Compare::Equal, std::string("1")).ToSql(info),
                 BadValueError);
    EXPECT_THROW(Selection().Where("_DATE", Compare::Equal, CalendarDate{2009, 2, 30}).ToSql(info),
                 BadValueError);
    const auto sql = Selection::ReceiptRange("TICKET", "10", "20").ToSql(info);
    EXPECT_EQ(sql.where, "\"TICKET\" >= ? AND \"TICKET\" <= ?");
    EXPECT_EQ(sql.params.size(), 2u);
}

class StoreSpan : public ::testing::Test {
  protected:
    void SetUp() override {
        // Calls at the edges of the spans below.
        const LocalDateTime starts[] = {
            At(2009, 5, 1, 9, 59, 59),  At(2009, 5, 1, 10, 0, 0),  At(2009, 5, 1, 10, 0, 59),
            At(2009, 5, 1, 10, 1, 0),   At(2009, 5, 1, 12, 0, 59), At(2009, 5, 1, 12, 1, 0),
            At(2009, 5, 1, 22, 59, 59), At(2009, 5, 1, 23, 0, 0),  At(2009, 5, 2, 0, 0, 0),
            At(2009, 5, 2, 23, 59, 59), At(2009, 5, 3, 1, 0, 59),  At(2009, 5, 3, 1, 1, 0),
            At(2009, 5, 4, 0, 0, 0),
        };
        auto lock = office.dm->tblInfo.connection().Lock();
        SQLite::Transaction transaction(office.dm->tblInfo.connection().Db());
        int32_t ticket = 1;
        for (const LocalDateTime& start : starts) {
            office.dm->WriteCallRecord(Call(1, "1", 60, 100, start), ticket++, 1, 0, 0, 0);
        }
        transaction.commit();
    }

    std::vector<int64_t> Tickets(const Selection& selection) {
        Table& t = office.dm->tblInfo;
        t.SetSelection(selection);
        std::vector<int64_t> tickets;
        for (t.First(); !t.Eof(); t.Next()) {
            tickets.push_back(t.FieldByName("TICKET").AsInteger());
        }
        return tickets;
    }

    StoreFixture office;
};

TEST_F(StoreSpan, SameDaySelectsFromTheBeginMinuteToTheEndOfTheEndMinute) {
    const struct {
        const char* begin;
        const char* end;
        std::vector<int64_t> tickets;
    } cases[] = {
        {"10:00", "12:00", {2, 3, 4, 5}},
        {"10:00", "10:00", {2, 3}},
        {"12:01", "10:00", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            Tickets(Selection().InSpan(ParseDateTimeSpan("01.05.2009", c.begin, "1.5.09", c.end))),
            c.tickets)
            << c.begin << " - " << c.end;
    }
}

TEST_F(StoreSpan, SeveralDaysSelectTheEdgesByTimeAndTheDaysBetweenWhole) {
    EXPECT_EQ(Tickets(Selection().InSpan(
                  ParseDateTimeSpan("01.05.2009", "23:00", "03.05.2009", "01:00"))),
              (std::vector<int64_t>{8, 9, 10, 11}));
    // Given backwards, the plain rule holds as typed: the begin day from its time, the end
    // day up to its time, nothing between.
    EXPECT_EQ(Tickets(Selection().InSpan(
                  ParseDateTimeSpan("03.05.2009", "01:00", "01.05.2009", "09:59"))),
              (std::vector<int64_t>{1, 11, 12}));
}

TEST_F(StoreSpan, ConditionsCombineWithTheSpan) {
    Selection selection;
    selection.InSpan(ParseDateTimeSpan("01.05.2009", "00:00", "04.05.2009", "23:59"))
        .Where("TICKET", Compare::GreaterOrEqual, int64_t{12});
    EXPECT_EQ(Tickets(selection), (std::vector<int64_t>{12, 13}));
    EXPECT_EQ(Tickets(Selection::ReceiptRange("TICKET", "3", "5")),
              (std::vector<int64_t>{3, 4, 5}));
    EXPECT_EQ(Tickets(Selection::DateRange("02.05.2009", "03.05.2009")),
              (std::vector<int64_t>{9, 10, 11, 12}));
}

TEST_F(StoreSpan, ABadSelectionKeepsTheOldOne) {
    Table& t = office.dm->tblInfo;
    t.SetSelection(Selection::ReceiptRange("TICKET", "3", "4"));
    EXPECT_THROW(t.SetSelection(Selection().Where("NOPE", Compare::Equal, int64_t{1})), StoreError);
    EXPECT_EQ(t.RecordCount(), 2);
    // An operator's text that is meant to break out of the query is just not a number.
    EXPECT_THROW(t.SetSelection(Selection::ReceiptRange("TICKET", "1", "2) OR (1=1")),
                 BadValueError);
    EXPECT_EQ(t.RecordCount(), 2);
}

}  // namespace
}  // namespace miradel
