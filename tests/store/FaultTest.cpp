// Faults around the store: a full disk, a second program holding the write lock, a missing
// folder, a read-only file. Each gives a plain message and leaves the data as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "StoreTestSupport.h"
#include "store/StoreError.h"
#include "store/WriteRetry.h"

namespace miradel {
namespace {

using testing::At;
using testing::Call;
using testing::Count;
using testing::StoreFixture;

bool WriteOne(TDMInfo& dm, int32_t ticket) {
    return dm.WriteCallRecord(Call(1, "1", 60, 100, At(2009, 3, 5)), ticket, 1, 0, 0, 0);
}

TEST(StoreFaults, AFullDiskFailsTheWriteKeepsEarlierRowsAndTheTableReady) {
    StoreFixture office;
    testing::FillCalls(*office.dm, 50, At(2009, 1, 1), 60);
    SQLite::Database& db = office.dm->APPD_MAIN().Db();
    const int pages = db.execAndGet("PRAGMA page_count").getInt();
    db.exec("PRAGMA max_page_count = " + std::to_string(pages));  // no room for one more page
    int written = 0;
    try {
        for (int i = 0; i < 500; ++i) {
            WriteOne(*office.dm, 1000 + i);
            ++written;
        }
        FAIL() << "the disk never filled";
    } catch (const StoreError& error) {
        EXPECT_NE(std::string(error.what()).find("the disk is full"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(office.dm->tblInfo.State(), TableState::Browse);  // no record left pending
    EXPECT_EQ(Count(office.Appd(), "INFO"), 50 + written);
    db.exec("PRAGMA max_page_count = 1073741823");
    EXPECT_TRUE(WriteOne(*office.dm, 9999));
    EXPECT_EQ(Count(office.Appd(), "INFO"), 51 + written);
}

// Answers the retry question after the other program has let go of its lock.
class ReleasingPrompt final : public OperatorPrompt {
  public:
    explicit ReleasingPrompt(SQLite::Database& other) : other_(other) {}
    PromptAnswer Ask(const PromptRequest& request) override {
        asked.push_back(request.text);
        other_.exec("COMMIT");
        return PromptAnswer::Yes;
    }
    std::vector<std::string> asked;

  private:
    SQLite::Database& other_;
};

TEST(StoreFaults, ASecondProgramHoldingTheWriteLockMakesTheWriteWaitThenAsk) {
    StoreFixture office;
    office.dm->APPD_MAIN().SetBusyTimeout(50);
    SQLite::Database other(office.Appd(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN IMMEDIATE");
    other.exec("INSERT INTO INFO (TICKET) VALUES (1)");
    try {
        WriteOne(*office.dm, 2);
        FAIL() << "wrote past another writer's lock";
    } catch (const StoreError& error) {
        EXPECT_TRUE(error.Busy());
        EXPECT_NE(std::string(error.what()).find("locked by another"), std::string::npos);
    }
    RecordingOperatorLog log;
    ReleasingPrompt prompt(other);
    EXPECT_TRUE(WriteWithRetry({office.dm->LastError(), log, prompt}, kStatusErrorInfo,
                               [&] { return WriteOne(*office.dm, 3); }));
    ASSERT_EQ(prompt.asked.size(), 1u);
    EXPECT_NE(prompt.asked[0].find("locked by another"), std::string::npos);
    EXPECT_EQ(log.Entries().at(0).event, 34);
    EXPECT_EQ(Count(office.Appd(), "INFO"), 2);  // the other program's row and ours
}

TEST(StoreFaults, AMissingFolderOrFileIsNamed) {
    testing::TempDir dir;
    VirtualClock clock;
    try {
        TDMInfo dm(dir / "gone", clock, {});
        FAIL();
    } catch (const StoreError& error) {
        EXPECT_NE(std::string(error.what()).find("does not exist"), std::string::npos);
    }
    try {
        Connection existing(dir.path(), Alias::APPD, OpenMode::ExistingOnly);
        FAIL();
    } catch (const StoreError& error) {
        EXPECT_NE(std::string(error.what()).find("APPD.sqlite: the database file does not exist"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "APPD.sqlite"));
}

TEST(StoreFaults, AReadOnlyFileIsRefusedAtStart) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes read-only files";
    }
    StoreFixture office;
    office.CloseStore();
    ::chmod(office.Appd().c_str(), 0444);
    try {
        office.Reopen();
        FAIL();
    } catch (const StoreError& error) {
        EXPECT_NE(std::string(error.what()).find("read-only"), std::string::npos);
    }
    Connection reader(office.dir.path(), Alias::APPD, OpenMode::ReadOnly);
    EXPECT_TRUE(reader.ReadOnly());
}

}  // namespace
}  // namespace miradel
