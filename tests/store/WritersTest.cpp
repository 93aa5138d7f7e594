// The data module's writers: what each writes, the append discipline, the dial-around list
// file, and the callers' retry loop.

#include <gtest/gtest.h>

#include <fstream>

#include "StoreTestSupport.h"
#include "store/StoreError.h"
#include "store/WriteRetry.h"

namespace miradel {
namespace {

using testing::At;
using testing::Call;
using testing::Count;
using testing::Rows;
using testing::StoreFixture;

TEST(StoreWriters, CallRecordHoldsTheCallAsTheBoothsWriteIt) {
    StoreFixture office;
    ASSERT_TRUE(office.dm->WriteCallRecord(
        Call(12, "80952123456", 3725, 1234, At(2009, 3, 5, 9, 5, 7)), 4711, 3, 2000, 766, 1205));
    office.CloseStore();
    const auto rows = Rows(office.Appd(), "SELECT * FROM INFO");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"1", "12", "3", "80952123456", "4711", "62:05", "12.05",
                                        "12.34", "2000", "7.66", "2009-03-05", "09:05:07"}));
}

TEST(StoreWriters, OtherWritersFillTheirTablesWithTheOperatorOnDutyAndTheClock) {
    StoreFixture office;
    office.operatorOnDuty = 9;
    ASSERT_TRUE(office.dm->WriteFaxRecord(4, 95, 3));
    ASSERT_TRUE(office.dm->WriteUnclaimedBalance(321, 450, 2000, 6));
    ASSERT_TRUE(office.dm->WritePaymentLine({2, 5, 77, "Квартплата", 2500, 3, 7500}));
    ASSERT_TRUE(office.dm->WriteAdvance(78, 1500, 1));
    EXPECT_EQ(office.nextFax, 101);  // the fax counter was taken once
    office.CloseStore();
    EXPECT_EQ(Rows(office.Appd(), "SELECT * FROM ENTERFAX")[0],
              (std::vector<std::string>{"100", "4", "01:35", "4.50", "3", "2009-03-05", "09:05:07",
                                        "0"}));
    EXPECT_EQ(Rows(office.Appd(), "SELECT * FROM RETSUMMA")[0],
              (std::vector<std::string>{"1", "2009-03-05", "09:05:07", "321", "4.50", "20.00", "6",
                                        "9", "0", "", "", ""}));
    EXPECT_EQ(Rows(office.Appd(), "SELECT * FROM REPORTPAY")[0],
              (std::vector<std::string>{"2", "5", "77", "Квартплата", "2500", "3", "7500", "75.00",
                                        "9", "2009-03-05", "09:05:07"}));
    EXPECT_EQ(Rows(office.Appd(), "SELECT * FROM AVANSINFO")[0],
              (std::vector<std::string>{"1", "9", "78", "15.00", "1", "2009-03-05", "09:05:07"}));
}

TEST(StoreWriters, AWriterFindingItsTableInInsertStateReturnsFalseAndWritesNothing) {
    StoreFixture office;
    struct Case {
        const char* name;
        Table& table;
        std::function<bool()> write;
    };
    TDMInfo& dm = *office.dm;
    const Case cases[] = {
        {"INFO", dm.tblInfo,
         [&] { return dm.WriteCallRecord(Call(1, "1", 1, 1, At(2009, 1, 1)), 1, 1, 1, 1, 1); }},
        {"ENTERFAX", dm.tblEnterFax, [&] { return dm.WriteFaxRecord(1, 1, 1); }},
        {"RETSUMMA", dm.tblReturn, [&] { return dm.WriteUnclaimedBalance(1, 1, 1, 1); }},
        {"REPORTPAY", dm.tblPay, [&] { return dm.WritePaymentLine({}); }},
        {"AVANSINFO", dm.tblAvans, [&] { return dm.WriteAdvance(1, 1, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.table.Open();
        c.table.Append();  // e.g. a window adding a row by hand
        EXPECT_FALSE(c.write());
        EXPECT_EQ(c.table.State(), TableState::Insert);
        c.table.Cancel();
        EXPECT_EQ(Count(office.Appd(), c.name), 0);
        EXPECT_TRUE(c.write());  // ready again
        EXPECT_EQ(Count(office.Appd(), c.name), 1);
    }
    EXPECT_EQ(office.nextFax, 101);  // the refused fax write consumed no number
}

TEST(StoreWriters, AWriterOpensAClosedTable) {
    StoreFixture office;
    EXPECT_FALSE(office.dm->tblInfo.Active());
    EXPECT_TRUE(office.dm->WriteCallRecord(Call(1, "1", 1, 1, At(2009, 1, 1)), 1, 1, 1, 1, 1));
    EXPECT_TRUE(office.dm->tblInfo.Active());
    EXPECT_TRUE(office.dm->tblTpay.Active());  // opened with the data module
    EXPECT_TRUE(office.dm->tblPay.Active());
}

TEST(StoreWriters, DialAroundListLoadsOneNumberAndStopsAtTheEmptyLine) {
    StoreFixture office;
    const auto list = office.dir / "list.txt";
    std::ofstream(list) << "0\nword\n1234567\n\n7654321\n";
    EXPECT_EQ(office.dm->RebuildRingRound(list), 1);
    EXPECT_FALSE(office.dm->tblRingRound.Active());
    EXPECT_EQ(Rows(office.Appd(), "SELECT * FROM RINGROUND"),
              (std::vector<std::vector<std::string>>{{"1234567", "0", "0"}}));

    // A Windows file: "\r\n" ends the list the same way; leading blanks and a tail are fine.
    std::ofstream(list) << "  4512 office\r\n007\r\n\r\n99\r\n";
    EXPECT_EQ(office.dm->RebuildRingRound(list), 2);
    EXPECT_EQ(Rows(office.Appd(), "SELECT NUMBER FROM RINGROUND ORDER BY NUMBER"),
              (std::vector<std::vector<std::string>>{{"7"}, {"4512"}}));
}

TEST(StoreWriters, ADialAroundFileThatCannotBeOpenedLeavesTheListAsItWas) {
    StoreFixture office;
    const auto list = office.dir / "list.txt";
    std::ofstream(list) << "111\n222\n";
    ASSERT_EQ(office.dm->RebuildRingRound(list), 2);
    EXPECT_EQ(office.dm->RebuildRingRound(office.dir / "missing.txt"), 0);
    EXPECT_EQ(Count(office.Appd(), "RINGROUND"), 2);
}

class StoreRetry : public ::testing::Test {
  protected:
    WriteRetryServices Services() { return {office.dm->LastError(), log, prompt}; }
    bool WriteCall() {
        return office.dm->WriteCallRecord(Call(1, "1", 60, 100, At(2009, 3, 5)), 5, 1, 0, 0, 0);
    }

    StoreFixture office;
    RecordingOperatorLog log;
    ScriptedPrompt prompt{PromptAnswer::No};
};

TEST_F(StoreRetry, NoGivesUpWithoutARowAndTheCallerGoesOn) {
    office.dm->tblInfo.Open();
    office.dm->tblInfo.Append();  // the table is not ready
    prompt.Queue(PromptAnswer::No);
    EXPECT_FALSE(WriteWithRetry(Services(), kStatusErrorInfo, [&] { return WriteCall(); }));
    EXPECT_EQ(Count(office.Appd(), "INFO"), 0);

    const auto asked = prompt.Asked();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(
        asked[0].text,
        "Ошибка записи в базу данных!\nНеправильный статус таблицы!\nПовторить или отменить?");
    EXPECT_EQ(asked[0].caption, "Критическая ошибка!");
    EXPECT_EQ(asked[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(asked[0].icon, PromptIcon::Question);
    const auto entries = log.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].event, 34);
    EXPECT_EQ(entries[0].values, (std::vector<std::string>{"0", "Ошибка статуса таблицы - INFO"}));
    EXPECT_EQ(office.dm->LastError().Get().text, "Ошибка статуса таблицы - INFO");
}

TEST_F(StoreRetry, YesRepeatsUntilTheWriteSucceeds) {
    office.dm->tblInfo.Open();
    office.dm->tblInfo.Append();
    int attempts = 0;
    prompt.Queue(PromptAnswer::Yes);
    prompt.Queue(PromptAnswer::Yes);
    const bool written = WriteWithRetry(Services(), kStatusErrorInfo, [&] {
        if (++attempts == 3) {
            office.dm->tblInfo.Cancel();  // the pending record went away meanwhile
        }
        return WriteCall();
    });
    EXPECT_TRUE(written);
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(prompt.Asked().size(), 2u);
    EXPECT_EQ(log.Entries().size(), 2u);
    EXPECT_EQ(Count(office.Appd(), "INFO"), 1);
}

TEST_F(StoreRetry, AnEngineErrorIsContainedAndNamed) {
    int attempts = 0;
    EXPECT_FALSE(WriteWithRetry(Services(), kStatusErrorInfo, [&]() -> bool {
        ++attempts;
        throw StoreError("APPD.sqlite: INFO: the disk is full", 13);
    }));
    EXPECT_EQ(attempts, 1);
    ASSERT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(prompt.Asked()[0].text,
              "Ошибка записи в базу данных!\nAPPD.sqlite: INFO: the disk is full\nПовторить или "
              "отменить?");
    EXPECT_EQ(log.Entries()[0].values,
              (std::vector<std::string>{"13", "APPD.sqlite: INFO: the disk is full"}));
}

TEST_F(StoreRetry, TheUnclaimedWriteRepeatsSilentlyOnlyUpToItsBound) {
    office.dm->tblReturn.Open();
    office.dm->tblReturn.Append();  // never becomes ready
    int attempts = 0;
    const bool written = WriteWithSilentRepeats(Services(), kStatusErrorReturn, [&] {
        ++attempts;
        return office.dm->WriteUnclaimedBalance(1, 100, 200, 1);
    });
    EXPECT_FALSE(written);  // the operator answered No
    EXPECT_EQ(attempts, kUnclaimedSilentAttempts);
    EXPECT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(log.Entries().at(0).values.at(1), "Ошибка статуса таблицы - RETSUMMA");

    // A table that becomes ready within the silent repeats asks nothing.
    attempts = 0;
    EXPECT_TRUE(WriteWithSilentRepeats(Services(), kStatusErrorReturn, [&] {
        if (++attempts == 2) {
            office.dm->tblReturn.Cancel();
        }
        return office.dm->WriteUnclaimedBalance(1, 100, 200, 1);
    }));
    EXPECT_EQ(prompt.Asked().size(), 1u);
}

}  // namespace
}  // namespace miradel
