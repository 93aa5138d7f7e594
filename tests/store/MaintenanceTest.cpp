// Purge and pack: the purge walks the table in its current order and stops at the first
// record after the limit; the pack gives the space back and reopens only what was open.

#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "store/BDEUtil.h"
#include "store/StoreError.h"

namespace miradel {
namespace {

using testing::At;
using testing::Call;
using testing::Count;
using testing::Rows;
using testing::StoreFixture;

std::vector<std::string> Dates(const std::filesystem::path& file, const std::string& table) {
    std::vector<std::string> dates;
    for (const auto& row : Rows(file, "SELECT _DATE FROM \"" + table + "\" ORDER BY rowid")) {
        dates.push_back(row[0]);
    }
    return dates;
}

void AddCalls(TDMInfo& dm, const std::vector<LocalDateTime>& starts) {
    auto lock = dm.tblInfo.connection().Lock();
    SQLite::Transaction transaction(dm.tblInfo.connection().Db());
    int32_t ticket = 1;
    for (const LocalDateTime& start : starts) {
        dm.WriteCallRecord(Call(1, "1", 1, 1, start), ticket++, 1, 0, 0, 0);
    }
    transaction.commit();
}

TEST(StorePurge, DeletesUpToTheLimitInclusiveAndStopsAtTheFirstLaterRecord) {
    const struct {
        const char* limit;
        std::vector<LocalDateTime> rows;
        const char* limitText;
        std::vector<std::string> kept;
    } cases[] = {
        {"31.12.08",
         {At(2008, 12, 30), At(2008, 12, 31), At(2009, 1, 1)},
         "31.12.2008",
         {"2009-01-01"}},
        {"15.01.09", {At(2008, 3, 2), At(2009, 1, 20)}, "15.1.2009", {"2009-01-20"}},
        {"01.01.09", {}, "1.1.2009", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit);
        StoreFixture office;
        AddCalls(*office.dm, c.rows);
        const PurgeResult result = PurgeTable(office.dm->tblInfo, c.limit);
        EXPECT_EQ(result.status, "База очищена!");
        EXPECT_EQ(result.limitText, c.limitText);  // INFO's own form of the typed date
        EXPECT_EQ(Dates(office.Appd(), "INFO"), c.kept);
    }
}

TEST(StorePurge, TheWalkFollowsTheCurrentIndexAndStopsWhereItMeetsALaterRecord) {
    StoreFixture office;
    TDMInfo& dm = *office.dm;
    // Booth 1: old, new; booth 2: old. In booth order the walk meets booth 1's new call
    // second and stops, so booth 2's old call stays.
    auto lock = dm.tblInfo.connection().Lock();
    dm.WriteCallRecord(Call(1, "1", 1, 1, At(2009, 1, 1)), 1, 1, 0, 0, 0);
    dm.WriteCallRecord(Call(1, "1", 1, 1, At(2009, 6, 1)), 2, 1, 0, 0, 0);
    dm.WriteCallRecord(Call(2, "1", 1, 1, At(2009, 1, 2)), 3, 1, 0, 0, 0);
    dm.tblInfo.SelectIndex("INFO_NUMBER_DATE");
    EXPECT_EQ(PurgeTable(dm.tblInfo, "31.01.2009").deleted, 1);
    EXPECT_EQ(Dates(office.Appd(), "INFO"), (std::vector<std::string>{"2009-06-01", "2009-01-02"}));
    // In date order (the default) everything up to the date goes.
    dm.tblInfo.SelectIndex("INFO_DATE");
    EXPECT_EQ(PurgeTable(dm.tblInfo, "31.01.2009").deleted, 1);
    EXPECT_EQ(Dates(office.Appd(), "INFO"), (std::vector<std::string>{"2009-06-01"}));
}

TEST(StorePurge, SettledChoiceDeletesOnlyPaidOutBalances) {
    StoreFixture office;
    TDMInfo& dm = *office.dm;
    for (int flag : {1, 0, 1}) {
        ASSERT_TRUE(dm.WriteUnclaimedBalance(flag, 100, 200, 1));
        Table& t = dm.tblReturn;
        t.Last();
        t.Edit();
        t.FieldByName("FLAG").SetInteger(flag);
        t.Post();
    }
    office.clock.Set(At(2009, 4, 1));
    ASSERT_TRUE(dm.WriteUnclaimedBalance(9, 100, 200, 1));  // after the limit, paid out
    dm.tblReturn.Last();
    dm.tblReturn.Edit();
    dm.tblReturn.FieldByName("FLAG").SetInteger(1);
    dm.tblReturn.Post();
    dm.tblReturn.SelectIndex("RET_TICKET");

    const PurgeResult result =
        PurgeTable(dm.tblReturn, "31.03.09", PurgeChoice::Settled, /*clearIndex=*/true);
    EXPECT_EQ(result.deleted, 2);
    EXPECT_EQ(result.limitText, "31.03.2009");
    EXPECT_EQ(dm.tblReturn.IndexName(), "");
    EXPECT_EQ(Rows(office.Appd(), "SELECT AUTO, FLAG FROM RETSUMMA ORDER BY AUTO"),
              (std::vector<std::vector<std::string>>{{"2", "0"}, {"4", "1"}}));
}

TEST(StorePurge, ClearsTheSelectionAndRefusesABadDateBeforeDeletingAnything) {
    StoreFixture office;
    AddCalls(*office.dm, {At(2008, 1, 1), At(2008, 1, 2)});
    Table& t = office.dm->tblInfo;
    t.SetSelection(Selection::ReceiptRange("TICKET", "2", "2"));
    EXPECT_THROW(PurgeTable(t, "31.02.08"), BadValueError);
    EXPECT_EQ(Count(office.Appd(), "INFO"), 2);
    EXPECT_TRUE(t.Filtered());
    EXPECT_EQ(PurgeTable(t, "01.01.08").deleted, 1);  // not limited to the selection
    EXPECT_FALSE(t.Filtered());
    t.Append();
    EXPECT_THROW(PurgeTable(t, "01.01.09"), StoreError);  // a pending record
    t.Cancel();
}

TEST(StorePack, GivesTheSpaceBackAndReopensOnlyWhatWasOpen) {
    StoreFixture office;
    testing::FillCalls(*office.dm, 3000, At(2008, 1, 1), 600);
    PurgeTable(office.dm->tblInfo, "31.12.2009");
    const auto sizeBefore = Rows(office.Appd(), "PRAGMA page_count")[0][0];

    office.dm->tblInfo.Close();
    PackResult packed = PackTable(office.dm->tblInfo);
    EXPECT_TRUE(packed.ok) << packed.detail;
    EXPECT_EQ(packed.status, "Упаковано!");
    EXPECT_FALSE(office.dm->tblInfo.Active());  // closed before, closed after
    EXPECT_LT(std::stoi(Rows(office.Appd(), "PRAGMA page_count")[0][0]), std::stoi(sizeBefore));

    office.dm->tblAvans.Open();
    EXPECT_EQ(PackTable(office.dm->tblAvans).status, "Упаковано!");
    EXPECT_TRUE(office.dm->tblAvans.Active());
    EXPECT_EQ(office.dm->tblAvans.State(), TableState::Browse);
}

TEST(StorePack, FailsWithErrorAndLeavesTheDataWhenTheDatabaseIsHeldByAnotherWriter) {
    StoreFixture office;
    testing::FillCalls(*office.dm, 10, At(2009, 1, 1), 60);
    office.dm->APPD_MAIN().SetBusyTimeout(50);
    SQLite::Database other(office.Appd(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN IMMEDIATE");
    office.dm->tblInfo.Open();
    const PackResult packed = PackTable(office.dm->tblInfo);
    EXPECT_FALSE(packed.ok);
    EXPECT_EQ(packed.status, "Ошибка!");
    EXPECT_NE(packed.detail.find("locked"), std::string::npos) << packed.detail;
    other.exec("ROLLBACK");
    EXPECT_TRUE(office.dm->tblInfo.Active());
    EXPECT_EQ(office.dm->tblInfo.RecordCount(), 10);
}

}  // namespace
}  // namespace miradel
