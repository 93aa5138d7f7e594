#pragma once
// Verification and repair of the office's tables.
//
// Verification levels (what the repair window shows for each):
//   0  no errors: the engine's integrity check passes, every row and every index reads, and
//      the fields and indexes are as catalogued;
//   1  verified completely: the rows are whole, only indexes are missing, keyed otherwise
//      than catalogued, or disagree with the rows (reindex or rebuild mends it);
//   2  verified in part: the rows are whole, but an index's pages are damaged, so that index
//      could not be compared with the rows (reindex or rebuild mends it);
//   3  the table's rows are damaged, its fields differ from the catalogue, or it is missing:
//      it must be rebuilt;
//   4  nothing can be recovered: not even the first row of the table, or the database file
//      itself, can be read.
//
// Rebuild copies every row that can still be read into a fresh table of the catalogued
// structure and puts it in place of the old one, in one transaction. Before that the whole
// database file is copied to "<alias>.Backup.sqlite" (overwritten by each rebuild). Rows that
// cannot be read or do not fit their fields are listed in the table PROBLEM of the same file
// (TABLE_NAME, ROW_ID, REASON, CONTENT), replacing that table's earlier list.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/Clock.h"
#include "common/OperatorPrompt.h"
#include "store/Connection.h"

namespace miradel {

inline constexpr std::string_view kVerifyImpossible = "Верификацию невозможно провести.";
inline constexpr std::string_view kRebuildDone = "Таблица полностью восстановлена!";
inline constexpr std::string_view kRebuildFailed = "Таблица не восстановлена. Ошибка!";
inline constexpr std::string_view kRepairLogName = "wrrepair.log";
inline constexpr std::string_view kRepairLogOpenFailed =
    "Невозможно открыть файл wrrepair.log для записи!";
inline constexpr std::string_view kRepairLogOpenCaption = "Error Open";
inline constexpr std::string_view kProblemTable = "PROBLEM";

// "Верификация завершена. ..." for levels 0..4.
std::string_view VerifyLevelMessage(int level);

struct VerifyResult {
    bool completed = false;  // false: the verification could not be run at all
    int level = 0;
    std::vector<std::string> problems;  // what was found, for the engineer
    std::string Message() const;        // the "Сообщение:" line
};

VerifyResult VerifyTable(Connection& db, std::string_view table);

struct DatabaseVerifyResult {
    int level = 0;                                             // the worst of all
    std::vector<std::pair<std::string, VerifyResult>> tables;  // each catalogued table
    std::vector<std::string> problems;  // what the whole-file check found outside the tables
};

// Every catalogued table of the file, then the engine's check of the whole file (free pages,
// pages used twice); a whole-file problem counts as level 3.
DatabaseVerifyResult VerifyDatabase(Connection& db);

struct RebuildResult {
    bool ok = false;
    int64_t rowsCopied = 0;
    int64_t rowsLost = 0;  // rows listed in PROBLEM
    std::string detail;    // why it failed
    std::string Message() const { return std::string(ok ? kRebuildDone : kRebuildFailed); }
};

std::filesystem::path BackupFileOf(const Connection& db);
// Copies the whole database file to BackupFileOf(db); "" on success, else what failed.
std::string TakeBackup(Connection& db);

// A missing table is created anew (empty). Fails, changing nothing, when the backup cannot be
// taken, another connection holds the write lock, or the engine fails.
RebuildResult RebuildTable(Connection& db, std::string_view table, bool takeBackup = true);

// How the repair window names a table: the database file and the table.
std::string TablePath(const Connection& db, std::string_view table);

struct RepairPassResult {
    bool logCreated = false;
    std::vector<std::pair<std::string, RebuildResult>> tables;
};

// "Восстановление всех таблиц": creates wrrepair.log anew (Windows-1251) with its heading and
// the start date and time, takes one backup per database, rebuilds every catalogued table of
// each database, logging "Таблица - " path, the message line and a blank line for each, and
// ends the log with the end date and time. A log that cannot be created: the operator is told
// and nothing is done; a log that cannot be appended to: told again, the pass goes on.
RepairPassResult RepairAllTables(const std::vector<Connection*>& databases,
                                 const std::filesystem::path& logFile, const Clock& clock,
                                 OperatorPrompt& prompt);

}  // namespace miradel
