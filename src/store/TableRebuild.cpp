// Rebuild of one table (declared in mainrepair.h).
//
// A write transaction must never meet a damaged page: the engine then spoils the whole
// transaction. So the table is read first, outside any transaction. A table that reads whole
// is copied, dropped and replaced in one transaction. A damaged one is first read row by row
// into a scratch file beside the database; then one transaction builds the new table from the
// scratch file, takes the old table out of the schema without touching its pages, and puts
// the new one in its place; a VACUUM afterwards gives the old pages back.

#include <SQLiteCpp/Backup.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <optional>

#include "store/SchemaRepair.h"
#include "store/StoreError.h"
#include "store/TableCatalogue.h"
#include "store/mainrepair.h"

namespace miradel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRebuildName = "rebuild";

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

struct Problem {
    int64_t rowid;
    std::string reason;
    std::string content;
};

// The columns to insert into the new table and the matching select list over the old one.
// Fields are matched by name, so a table whose structure drifted keeps its data.
struct CopyPlan {
    std::string insertColumns;
    std::string selectList;  // starts with the row id
    int valueCount = 0;      // values after the row id
};

CopyPlan PlanCopy(SQLite::Database& db, const TableDef& def, bool exists) {
    const std::vector<std::string> actual =
        exists ? ColumnsOf(db, def.name) : std::vector<std::string>{};
    CopyPlan plan;
    plan.selectList = "rowid";
    if (def.AutoIncField() == nullptr) {
        plan.insertColumns = "rowid";
        plan.selectList += ", rowid";
        ++plan.valueCount;
    }
    for (const FieldDef& field : def.fields) {
        const bool present = std::any_of(actual.begin(), actual.end(), [&](const std::string& c) {
            return SameName(c, field.name);
        });
        plan.insertColumns += plan.insertColumns.empty() ? "" : ", ";
        plan.insertColumns += QuoteName(field.name);
        plan.selectList += ", ";
        plan.selectList += field.type == FieldType::AutoInc ? "rowid"
                           : present                        ? QuoteName(field.name)
                                                            : "NULL";
        ++plan.valueCount;
    }
    return plan;
}

std::string Placeholders(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += i == 0 ? "?" : ", ?";
    }
    return text;
}

void BindColumn(SQLite::Statement& statement, int index, const SQLite::Column& column) {
    if (column.isNull()) {
        statement.bind(index);
    } else if (column.isInteger()) {
        statement.bind(index, column.getInt64());
    } else if (column.isFloat()) {
        statement.bind(index, column.getDouble());
    } else {
        statement.bind(index, column.getString());
    }
}

std::string RowText(SQLite::Statement& row, int first) {
    std::string text;
    for (int i = first; i < row.getColumnCount(); ++i) {
        text += i == first ? "" : "\t";
        text += row.getColumn(i).getString();
    }
    return text;
}

// Inserts each row of `rows` (row id first) into the new table; a row that does not fit its
// fields is listed instead.
void InsertRows(SQLite::Statement& rows, SQLite::Statement& insert, int64_t& copied,
                std::vector<Problem>& problems) {
    while (rows.executeStep()) {
        insert.reset();
        insert.clearBindings();
        for (int i = 1; i < rows.getColumnCount(); ++i) {
            BindColumn(insert, i, rows.getColumn(i));
        }
        try {
            insert.exec();
            ++copied;
        } catch (const SQLite::Exception& error) {
            insert.tryReset();
            problems.push_back({rows.getColumn(0).getInt64(),
                                std::string("does not fit the table: ") + error.what(),
                                RowText(rows, 1)});
        }
    }
}

// Reads what can be read of a damaged table into `sink`, row by row. A seek that fails means
// the cursor stands before a damaged page: the search for the next readable row jumps ahead
// in growing steps and then narrows back, so that little beyond the damage is lost.
void RecoverRows(SQLite::Database& db, const std::string& name, const std::string& selectList,
                 SQLite::Statement& sink, std::vector<Problem>& problems) {
    SQLite::Statement seek(
        db, "SELECT rowid FROM " + QuoteName(name) + " WHERE rowid > ? ORDER BY rowid LIMIT 1");
    SQLite::Statement read(
        db, "SELECT " + selectList + " FROM " + QuoteName(name) + " WHERE rowid = ?");

    // 1: found, 0: no more rows, -1: the seek failed.
    auto next = [&](int64_t after, int64_t& found) {
        try {
            seek.reset();
            seek.bind(1, after);
            const bool any = seek.executeStep();
            if (any) {
                found = seek.getColumn(0).getInt64();
            }
            seek.reset();
            if (any && found <= after) {
                return -1;  // a damaged page answering with nonsense
            }
            return any ? 1 : 0;
        } catch (const SQLite::Exception&) {
            seek.tryReset();
            return -1;
        }
    };

    constexpr int64_t kLowest = std::numeric_limits<int64_t>::min();
    constexpr int64_t kHighest = std::numeric_limits<int64_t>::max();
    int64_t cursor = kLowest;
    while (true) {
        int64_t row = 0;
        int state = next(cursor, row);
        if (state < 0) {
            int64_t failing = cursor;
            int64_t probe = cursor;
            int64_t step = 1;
            while (state < 0) {
                if (probe > kHighest - step) {
                    state = 0;
                    break;
                }
                failing = probe;
                probe += step;
                step = step > kHighest / 2 ? step : step * 2;
                state = next(probe, row);
            }
            while (state > 0 && probe - failing > 1) {
                const int64_t middle = failing + (probe - failing) / 2;
                int64_t candidate = 0;
                const int tried = next(middle, candidate);
                if (tried < 0) {
                    failing = middle;
                } else if (tried == 0) {
                    break;
                } else {
                    probe = middle;
                    row = candidate;
                }
            }
            const std::string from =
                cursor == kLowest ? "the start" : "row id " + std::to_string(cursor);
            problems.push_back({cursor == kLowest ? 0 : cursor + 1,
                                "rows after " + from +
                                    (state > 0 ? " up to row id " + std::to_string(row - 1)
                                               : std::string(" to the end")) +
                                    " could not be read",
                                ""});
        }
        if (state == 0) {
            return;
        }
        try {
            read.reset();
            read.bind(1, row);
            if (read.executeStep()) {
                sink.reset();
                sink.clearBindings();
                for (int i = 0; i < read.getColumnCount(); ++i) {
                    BindColumn(sink, i + 1, read.getColumn(i));
                }
                sink.exec();
            }
            read.reset();
        } catch (const SQLite::Exception& error) {
            read.tryReset();
            problems.push_back({row, std::string("cannot be read: ") + error.what(), ""});
        }
        if (row == kHighest) {
            return;
        }
        cursor = row;
    }
}

void WriteProblems(SQLite::Database& db, const std::string& table,
                   const std::vector<Problem>& problems) {
    db.exec("CREATE TABLE IF NOT EXISTS " + QuoteName(kProblemTable) +
            " (\"TABLE_NAME\" TEXT, \"ROW_ID\" INTEGER, \"REASON\" TEXT, \"CONTENT\" TEXT)");
    SQLite::Statement clear(
        db, "DELETE FROM " + QuoteName(kProblemTable) + " WHERE \"TABLE_NAME\" = ?");
    clear.bind(1, table);
    clear.exec();
    SQLite::Statement add(db, "INSERT INTO " + QuoteName(kProblemTable) +
                                  " (\"TABLE_NAME\", \"ROW_ID\", \"REASON\", \"CONTENT\") VALUES "
                                  "(?, ?, ?, ?)");
    for (const Problem& problem : problems) {
        add.reset();
        add.bind(1, table);
        add.bind(2, problem.rowid);
        add.bind(3, problem.reason);
        add.bind(4, problem.content);
        add.exec();
    }
}

std::optional<int64_t> SequenceOf(SQLite::Database& db, const std::string& table) {
    try {
        SQLite::Statement query(db, "SELECT seq FROM sqlite_sequence WHERE name = ?");
        query.bind(1, table);
        if (query.executeStep()) {
            return query.getColumn(0).getInt64();
        }
    } catch (const SQLite::Exception&) {
    }
    return std::nullopt;
}

// AUTO numbers already handed out are never handed out again.
void KeepSequence(SQLite::Database& db, const TableDef& def, std::optional<int64_t> old) {
    const FieldDef* autoInc = def.AutoIncField();
    if (autoInc == nullptr) {
        return;
    }
    const std::string name(def.name);
    const int64_t highest = db.execAndGet("SELECT IFNULL(max(" + QuoteName(autoInc->name) +
                                          "), 0) FROM " + QuoteName(name))
                                .getInt64();
    const int64_t sequence = std::max(highest, old.value_or(0));
    SQLite::Statement update(db, "UPDATE sqlite_sequence SET seq = ? WHERE name = ?");
    update.bind(1, sequence);
    update.bind(2, name);
    if (update.exec() == 0 && sequence > 0) {
        SQLite::Statement insert(db, "INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)");
        insert.bind(1, name);
        insert.bind(2, sequence);
        insert.exec();
    }
}

fs::path ScratchFileOf(const Connection& db) {
    return db.File().parent_path() / (std::string(AliasName(db.alias())) + ".rebuild.sqlite");
}

void RemoveFile(const fs::path& file) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        fs::remove(file.string() + suffix, ignored);
    }
}

RebuildResult RebuildLocked(Connection& conn, const TableDef& def) {
    SQLite::Database& db = conn.Db();
    const std::string name(def.name);
    RebuildResult result;

    // Reading first, outside any transaction.
    const bool exists = TableExists(db, name);
    const bool sound = !exists || !ScanTable(db, name);
    const bool leftover = TableExists(db, kRebuildName);
    const bool leftoverSound = leftover && !ScanTable(db, kRebuildName);
    const std::optional<int64_t> oldSequence =
        def.AutoIncField() != nullptr ? SequenceOf(db, name) : std::nullopt;
    const CopyPlan plan = PlanCopy(db, def, exists);
    const std::string insertSql = "INSERT INTO " + QuoteName(kRebuildName) + " (" +
                                  plan.insertColumns + ") VALUES (" +
                                  Placeholders(plan.valueCount) + ")";

    std::vector<Problem> problems;
    const fs::path scratchFile = ScratchFileOf(conn);
    std::optional<SQLite::Database> scratch;
    if (!sound) {
        RemoveFile(scratchFile);
        scratch.emplace(scratchFile, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        scratch->exec("PRAGMA journal_mode = OFF");
        scratch->exec("PRAGMA synchronous = OFF");
        std::string columns;
        for (int i = 0; i <= plan.valueCount; ++i) {
            columns += (i == 0 ? "c" : ", c") + std::to_string(i);
        }
        scratch->exec("CREATE TABLE recovered (" + columns + ")");
        scratch->exec("BEGIN");
        SQLite::Statement sink(
            *scratch, "INSERT INTO recovered VALUES (" + Placeholders(plan.valueCount + 1) + ")");
        RecoverRows(db, name, plan.selectList, sink, problems);
        scratch->exec("COMMIT");
    }

    bool forgot = false;
    {
        BusyTimeoutGuard wait(conn, kMaintenanceBusyTimeoutMs);
        SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
        if (leftover) {
            if (leftoverSound) {
                db.exec("DROP TABLE " + QuoteName(kRebuildName));
            } else {
                ForgetTable(db, kRebuildName);
                forgot = true;
            }
        }
        db.exec(CreateTableSql(def, kRebuildName));
        SQLite::Statement insert(db, insertSql);
        if (scratch) {
            SQLite::Statement rows(*scratch, "SELECT * FROM recovered ORDER BY c0");
            InsertRows(rows, insert, result.rowsCopied, problems);
        } else if (exists) {
            // A sound table copies in one statement; a row that does not fit its field sends
            // the copy row by row, so that only that row is left out.
            db.exec("SAVEPOINT bulk_copy");
            try {
                result.rowsCopied =
                    db.exec("INSERT INTO " + QuoteName(kRebuildName) + " (" + plan.insertColumns +
                            ") SELECT " + plan.selectList.substr(std::string("rowid, ").size()) +
                            " FROM " + QuoteName(name) + " ORDER BY rowid");
                db.exec("RELEASE bulk_copy");
            } catch (const SQLite::Exception& error) {
                if ((error.getErrorCode() & 0xff) != SQLITE_CONSTRAINT) {
                    throw;
                }
                db.exec("ROLLBACK TO bulk_copy");
                db.exec("RELEASE bulk_copy");
                result.rowsCopied = 0;
                SQLite::Statement rows(db, "SELECT " + plan.selectList + " FROM " +
                                               QuoteName(name) + " ORDER BY rowid");
                InsertRows(rows, insert, result.rowsCopied, problems);
            }
        }
        if (exists) {
            if (sound) {
                db.exec("DROP TABLE " + QuoteName(name));
            } else {
                ForgetTable(db, name);
                forgot = true;
            }
        }
        db.exec("ALTER TABLE " + QuoteName(kRebuildName) + " RENAME TO " + QuoteName(name));
        for (const std::string& sql : CreateIndexSql(def, name)) {
            db.exec(sql);
        }
        KeepSequence(db, def, oldSequence);
        WriteProblems(db, name, problems);
        transaction.commit();
    }
    if (scratch) {
        scratch.reset();
        RemoveFile(scratchFile);
    }
    if (forgot) {
        // Gives back the pages of the damaged b-trees; the data is already safe without it.
        db.tryExec("VACUUM");
    }
    result.rowsLost = static_cast<int64_t>(problems.size());
    result.ok = true;
    return result;
}

}  // namespace

fs::path BackupFileOf(const Connection& db) {
    return db.File().parent_path() / (std::string(AliasName(db.alias())) + ".Backup.sqlite");
}

std::string TakeBackup(Connection& db) {
    auto lock = db.Lock();
    const fs::path backup = BackupFileOf(db);
    RemoveFile(backup);
    try {
        SQLite::Database copy(backup, SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        SQLite::Backup step(copy, db.Db());
        if (step.executeStep(-1) != SQLITE_DONE) {
            return backup.string() + ": the backup copy was not completed";
        }
    } catch (const SQLite::Exception& error) {
        return EngineError(backup.string(), error).what();
    }
    return {};
}

RebuildResult RebuildTable(Connection& db, std::string_view table, bool takeBackup) {
    auto lock = db.Lock();
    RebuildResult result;
    const TableDef* def = FindTableDef(table);
    if (def == nullptr || def->alias != db.alias()) {
        result.detail = db.Where(table) + ": not a table of this database";
        return result;
    }
    if (db.ReadOnly()) {
        result.detail = db.Where(table) + ": the database is open read-only";
        return result;
    }
    if (takeBackup) {
        result.detail = TakeBackup(db);
        if (!result.detail.empty()) {
            return result;  // never rebuild without the copy to go back to
        }
    }
    try {
        return RebuildLocked(db, *def);
    } catch (const SQLite::Exception& error) {
        result.detail = EngineError(db.Where(def->name), error).what();
    } catch (const StoreError& error) {
        result.detail = error.what();
    }
    RemoveFile(ScratchFileOf(db));
    return result;
}

}  // namespace miradel
