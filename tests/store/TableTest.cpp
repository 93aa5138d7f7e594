// Table objects: the cursor in the order of the selected index, the browse/edit/insert
// states, fields by name with their conversions, and exact key lookup.

#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "store/StoreError.h"

namespace miradel {
namespace {

using testing::At;
using testing::Call;
using testing::StoreFixture;

class StoreTable : public ::testing::Test {
  protected:
    void Add(int16_t booth, int32_t ticket, LocalDateTime start) {
        ASSERT_TRUE(office.dm->WriteCallRecord(Call(booth, "123", 61, 150, start), ticket, 1, 500,
                                               350, 150));
    }
    std::vector<int64_t> Walk(Table& t, const char* field = "TICKET") {
        std::vector<int64_t> values;
        for (t.First(); !t.Eof(); t.Next()) {
            values.push_back(t.FieldByName(field).AsInteger());
        }
        return values;
    }

    StoreFixture office;
};

TEST_F(StoreTable, TheCursorFollowsTheSelectedIndex) {
    Add(3, 30, At(2009, 3, 7));
    Add(1, 10, At(2009, 3, 5));
    Add(2, 20, At(2009, 3, 6));
    Table& t = office.dm->tblInfo;
    EXPECT_EQ(t.IndexName(), "INFO_DATE");
    EXPECT_EQ(Walk(t), (std::vector<int64_t>{10, 20, 30}));
    t.SelectIndex("");
    EXPECT_EQ(Walk(t), (std::vector<int64_t>{30, 10, 20}));  // order of writing (AUTO)
    t.SelectIndex("INFO_NUMBER");
    EXPECT_EQ(Walk(t, "NUMBER"), (std::vector<int64_t>{1, 2, 3}));
    EXPECT_THROW(t.SelectIndex("NO_SUCH_INDEX"), StoreError);

    t.SelectIndex("TICKETS");
    t.First();
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.RecNo(), 1);
    EXPECT_EQ(t.MoveBy(5), 2);
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("TICKET").AsInteger(), 30);
    t.Prior();
    EXPECT_EQ(t.RecNo(), 2);
    t.Last();
    EXPECT_EQ(t.FieldByName("TICKET").AsInteger(), 30);
    EXPECT_EQ(t.RecordCount(), 3);
}

TEST_F(StoreTable, FieldsReadInTheTablesDisplayForms) {
    Add(4, 77, At(2009, 3, 5, 9, 5, 7));
    Table& info = office.dm->tblInfo;
    info.First();
    EXPECT_EQ(info.FieldByName("_DATE").AsString(), "5.3.2009");
    EXPECT_EQ(info.FieldByName("_time").AsString(), "9:5:7");  // names in any letter case
    EXPECT_EQ(info.FieldByName("_DATE").AsDate(), (CalendarDate{2009, 3, 5}));
    EXPECT_EQ(info.FieldByName("DURATION").AsString(), "01:01");
    EXPECT_THROW(info.FieldByName("SUMMA").AsInteger(), BadValueError);  // "1.50"
    EXPECT_THROW(info.FieldByName("NO_SUCH_FIELD"), StoreError);

    ASSERT_TRUE(office.dm->WriteAdvance(5, 1205, 1));
    Table& avans = office.dm->tblAvans;
    avans.First();
    EXPECT_EQ(avans.FieldByName("_DATE").AsString(), "05.03.2009");
    EXPECT_EQ(avans.FieldByName("_TIME").AsString(), "09:05:07");
    EXPECT_EQ(avans.FieldByName("SUMMA").AsString(), "12.05");
}

TEST_F(StoreTable, SettingAFieldChecksTheValue) {
    Table& t = office.dm->tblInfo;
    t.Open();
    t.Append();
    struct Case {
        const char* field;
        const char* text;
        const char* stored;  // nullptr: refused
    };
    const Case cases[] = {
        {"NUMBER", "12", "12"},
        {"NUMBER", "40000", nullptr},
        {"NUMBER", "1x", nullptr},
        {"TICKET", "-5", "-5"},
        {"_DATE", "31.12.08", "31.12.2008"},
        {"_DATE", "32.12.08", nullptr},
        {"_TIME", "23:59:59", "23:59:59"},
        {"_TIME", "23:60", nullptr},
        {"DIAL_UP", "0123456789012345678901234", "01234567890123456789"},
        {"AUTO", "5", nullptr},
    };
    for (const Case& c : cases) {
        Field field = t.FieldByName(c.field);
        if (c.stored == nullptr) {
            EXPECT_THROW(field.SetString(c.text), StoreError) << c.field << " " << c.text;
        } else {
            field.SetString(c.text);
            EXPECT_EQ(field.AsString(), c.stored) << c.field;
        }
    }
    t.Cancel();
    EXPECT_EQ(t.RecordCount(), 0);
}

TEST_F(StoreTable, EditDeleteAndStates) {
    Add(1, 10, At(2009, 3, 5));
    Add(1, 20, At(2009, 3, 6));
    Add(1, 30, At(2009, 3, 7));
    Table& t = office.dm->tblInfo;
    t.First();
    t.Next();
    t.Edit();
    EXPECT_EQ(t.State(), TableState::Edit);
    EXPECT_THROW(t.Next(), StoreError);  // a pending edit must be posted or cancelled
    EXPECT_THROW(t.Append(), StoreError);
    t.FieldByName("TICKET").SetInteger(21);
    t.Post();
    EXPECT_EQ(Walk(t), (std::vector<int64_t>{10, 21, 30}));

    t.First();
    t.Next();
    t.Delete();  // the next record becomes current
    EXPECT_EQ(t.FieldByName("TICKET").AsInteger(), 30);
    t.Delete();  // at the end the previous one does
    EXPECT_EQ(t.FieldByName("TICKET").AsInteger(), 10);
    t.Delete();
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(t.IsEmpty());
    EXPECT_THROW(t.Delete(), StoreError);

    t.Append();
    t.Close();  // drops the pending record
    EXPECT_EQ(testing::Count(office.Appd(), "INFO"), 0);
    EXPECT_EQ(t.State(), TableState::Inactive);
}

TEST_F(StoreTable, FindKeyLooksUpExactlyOnTheCurrentIndex) {
    Table& p = office.dm->tblPassword;
    p.Open();
    for (const auto& [password, number] :
         std::vector<std::pair<std::string, int>>{{"alpha", 1}, {"Beta", 2}, {"beta", 3}}) {
        p.Append();
        p.FieldByName("PASSWORD").SetString(password);
        p.FieldByName("NUMBER_OPERATOR").SetInteger(number);
        p.FieldByName("TYPE_OPERATOR").SetInteger(1);
        p.Post();
    }
    ASSERT_TRUE(p.FindKey({std::string("beta")}));
    EXPECT_EQ(p.FieldByName("NUMBER_OPERATOR").AsInteger(), 3);  // letter case counts
    EXPECT_FALSE(p.FindKey({std::string("gamma")}));
    EXPECT_EQ(p.FieldByName("NUMBER_OPERATOR").AsInteger(), 3);  // stays
    EXPECT_THROW(p.FindKey({int64_t{5}}), BadValueError);

    Add(2, 44, At(2009, 3, 5));
    Add(2, 45, At(2009, 3, 5));
    Table& info = office.dm->tblInfo;
    info.SelectIndex("TICKETS");
    ASSERT_TRUE(info.FindKey({int64_t{45}}));
    info.Prior();
    EXPECT_EQ(info.FieldByName("TICKET").AsInteger(), 44);
}

TEST_F(StoreTable, AnAppendMovesTheCursorToTheNewRecordAndStaysInTheSelection) {
    Add(1, 10, At(2009, 3, 5));
    Table& t = office.dm->tblInfo;
    t.SetSelection(Selection::ReceiptRange("TICKET", "1", "20"));
    EXPECT_EQ(t.RecordCount(), 1);
    Add(1, 15, At(2009, 3, 4));
    EXPECT_EQ(t.FieldByName("TICKET").AsInteger(), 15);
    EXPECT_EQ(t.RecNo(), 1);     // earlier date: first in INFO_DATE order
    Add(1, 99, At(2009, 3, 6));  // outside the selection
    t.First();
    EXPECT_EQ(Walk(t), (std::vector<int64_t>{15, 10}));
    t.ClearSelection();
    EXPECT_EQ(t.RecordCount(), 3);

    // A record posted outside the selection is still the one an edit or a delete takes.
    t.SetSelection(Selection::ReceiptRange("TICKET", "1", "20"));
    Add(1, 98, At(2009, 3, 6));
    t.Delete();
    t.ClearSelection();
    EXPECT_EQ(Walk(t), (std::vector<int64_t>{15, 10, 99}));
}

TEST_F(StoreTable, ObjectsOnOneTableSeeEachOthersRows) {
    ASSERT_TRUE(office.dm->tblThreadFisc.connection().Name() == "APPD_THREAD");
    Table& worker = office.dm->tblThreadFisc;
    worker.Open();
    worker.Append();
    worker.FieldByName("TICKET").SetInteger(5);
    worker.FieldByName("DESR").SetString("НОРМА");
    worker.Post();
    Table& viewer = office.dm->tblFprint;
    viewer.Open();
    EXPECT_EQ(viewer.FieldByName("DESR").AsString(), "НОРМА");
    viewer.Delete();
    worker.Refresh();
    EXPECT_TRUE(worker.IsEmpty());
}

}  // namespace
}  // namespace miradel
