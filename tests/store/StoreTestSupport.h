#pragma once
// A working folder with a fresh data module, a virtual clock and recording sinks, plus the
// small tools the store tests share: bulk rows in one transaction, raw SQL reads, and
// damaging a page of a database file on purpose.

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/Clock.h"
#include "store/TDMInfo.h"
#include "support/TempDir.h"

namespace miradel::testing {

inline LocalDateTime At(int year, int month, int day, int hour = 12, int minute = 0,
                        int second = 0) {
    LocalDateTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    t.weekday = WeekdayOf(year, month, day);
    return t;
}

class StoreFixture {
  public:
    StoreFixture() : clock(At(2009, 3, 5, 9, 5, 7)) { Reopen(); }

    void Reopen() {
        dm.reset();
        dm = std::make_unique<TDMInfo>(dir.path(), clock, Counters());
    }
    void CloseStore() { dm.reset(); }

    OfficeCounters Counters() {
        return OfficeCounters{[this] { return operatorOnDuty; }, [this] { return nextFax++; },
                              [this] { return faxPagePrice; }};
    }

    std::filesystem::path Appd() const { return dir / "APPD.sqlite"; }
    std::filesystem::path Appz() const { return dir / "APPZ.sqlite"; }

    TempDir dir;
    VirtualClock clock;
    int operatorOnDuty = 7;
    int32_t nextFax = 100;
    Money faxPagePrice = 150;
    std::unique_ptr<TDMInfo> dm;
};

inline FinishedCall Call(int16_t booth, std::string dialled, int32_t seconds, Money charge,
                         LocalDateTime start) {
    return FinishedCall{booth, std::move(dialled), seconds, charge, start};
}

// Rows of one raw query, every column as text ("" for NULL).
inline std::vector<std::vector<std::string>> Rows(const std::filesystem::path& file,
                                                  const std::string& sql) {
    SQLite::Database db(file, SQLite::OPEN_READONLY);
    SQLite::Statement query(db, sql);
    std::vector<std::vector<std::string>> rows;
    while (query.executeStep()) {
        std::vector<std::string> row;
        for (int i = 0; i < query.getColumnCount(); ++i) {
            row.push_back(query.getColumn(i).getString());
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

inline int64_t Count(const std::filesystem::path& file, const std::string& table) {
    SQLite::Database db(file, SQLite::OPEN_READONLY);
    return db.execAndGet("SELECT count(*) FROM \"" + table + "\"").getInt64();
}

// Many call records in one transaction (one fsync instead of one per row).
inline void FillCalls(TDMInfo& dm, int count, LocalDateTime firstStart, int secondsApart,
                      int32_t firstTicket = 1) {
    Connection& conn = dm.tblInfo.connection();
    auto lock = conn.Lock();
    SQLite::Transaction transaction(conn.Db());
    VirtualClock clock(firstStart);
    for (int i = 0; i < count; ++i) {
        const LocalDateTime start = clock.Now();
        dm.WriteCallRecord(Call(static_cast<int16_t>(i % 16 + 1), "0952" + std::to_string(i),
                                60 + i % 600, 100 + i % 900, start),
                           firstTicket + i, static_cast<int16_t>(i % 3 + 1), 5000, 1000, 250);
        clock.AdvanceMs(int64_t{secondsApart} * 1000);
    }
    transaction.commit();
}

// The page numbers of one b-tree (a table or an index) of a closed database file.
inline std::vector<int64_t> PagesOf(const std::filesystem::path& file, const std::string& tree,
                                    const std::string& pageType) {
    SQLite::Database db(file, SQLite::OPEN_READONLY);
    SQLite::Statement query(db,
                            "SELECT pageno FROM dbstat WHERE name = ? AND pagetype = ? "
                            "ORDER BY pageno");
    query.bind(1, tree);
    query.bind(2, pageType);
    std::vector<int64_t> pages;
    while (query.executeStep()) {
        pages.push_back(query.getColumn(0).getInt64());
    }
    return pages;
}

// Overwrites `length` bytes of a page with a pattern that no b-tree can read as its own.
inline void DamagePage(const std::filesystem::path& file, int64_t page, int offset = 8,
                       int length = 300) {
    std::FILE* f = std::fopen(file.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    const long pageSize = 4096;
    std::fseek(f, (page - 1) * pageSize + offset, SEEK_SET);
    for (int i = 0; i < length; ++i) {
        std::fputc(i % 2 == 0 ? 0xA5 : 0x3C, f);
    }
    std::fclose(f);
}

}  // namespace miradel::testing
