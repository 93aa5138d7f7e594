#pragma once
// Small tools of the maintenance code: reading a file's actual schema, and taking a damaged
// b-tree out of the schema when the engine cannot free it (DROP of a damaged table or index
// fails on its damaged pages). The pages it leaves behind are unused; the next VACUUM gives
// them back.

#include <SQLiteCpp/Database.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/Connection.h"

namespace miradel {

bool TableExists(SQLite::Database& db, std::string_view table);
std::vector<std::string> ColumnsOf(SQLite::Database& db, std::string_view table);
std::vector<std::string> IndexesOf(SQLite::Database& db, std::string_view table);
std::vector<std::string> IndexColumnsOf(SQLite::Database& db, std::string_view index);

// Inside the caller's transaction: removes a table (with its indexes) or one index from the
// schema without reading its pages, and makes every connection reload the schema.
void ForgetTable(SQLite::Database& db, std::string_view table);
void ForgetIndex(SQLite::Database& db, std::string_view index);

// Reads every page of an index (a covering scan in index order) or of a table's rows and its
// indexes; the engine's message when something cannot be read. Call these outside any write
// transaction: a write transaction that meets a damaged page is spoilt as a whole.
std::optional<std::string> ScanIndex(SQLite::Database& db, std::string_view table,
                                     std::string_view index);
std::optional<std::string> ScanTable(SQLite::Database& db, std::string_view table);

// A short wait for the write lock during maintenance, restored afterwards.
class BusyTimeoutGuard {
  public:
    BusyTimeoutGuard(Connection& db, int ms) : db_(db), saved_(db.BusyTimeout()) {
        db_.SetBusyTimeout(ms);
    }
    ~BusyTimeoutGuard() { db_.SetBusyTimeout(saved_); }
    BusyTimeoutGuard(const BusyTimeoutGuard&) = delete;
    BusyTimeoutGuard& operator=(const BusyTimeoutGuard&) = delete;

  private:
    Connection& db_;
    int saved_;
};

inline constexpr int kMaintenanceBusyTimeoutMs = 250;

}  // namespace miradel
