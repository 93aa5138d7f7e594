#include "store/Reindex.h"

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <algorithm>
#include <cctype>

#include "store/SchemaRepair.h"
#include "store/StoreError.h"
#include "store/TableCatalogue.h"

namespace miradel {

namespace {

bool LessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) <
               std::toupper(static_cast<unsigned char>(y));
    });
}

void Show(const ReindexProgress& progress, int panel, const std::string& text) {
    if (progress.show) {
        progress.show(panel, text);
    }
}

bool SameColumns(const std::vector<std::string>& actual,
                 const std::vector<std::string_view>& want) {
    return std::equal(actual.begin(), actual.end(), want.begin(), want.end(),
                      [](const std::string& a, std::string_view b) { return a == b; });
}

std::optional<std::string> ReindexLocked(Connection& conn, const std::string& name,
                                         const ReindexProgress& progress) {
    SQLite::Database& db = conn.Db();
    const TableDef* def = FindTableDef(name);
    // Which indexes are damaged is read before the write lock is taken: a write transaction
    // that meets a damaged page is spoilt as a whole. A damaged index cannot be cleared by the
    // engine; it is taken out of the schema and built anew from the rows.
    std::vector<std::string> present;
    std::vector<std::string> damaged;
    try {
        present = IndexesOf(db, name);
        for (const std::string& index : present) {
            if (ScanIndex(db, name, index)) {
                damaged.push_back(index);
            }
        }
    } catch (const SQLite::Exception&) {
        // The schema itself does not read; the transaction below reports it.
    }
    const auto isDamaged = [&](const std::string& index) {
        return std::find(damaged.begin(), damaged.end(), index) != damaged.end();
    };
    bool mustVacuum = false;
    {
        BusyTimeoutGuard wait(conn, kMaintenanceBusyTimeoutMs);
        std::optional<SQLite::Transaction> transaction;
        try {
            transaction.emplace(db, SQLite::TransactionBehavior::IMMEDIATE);
        } catch (const SQLite::Exception& error) {
            const int primary = error.getErrorCode() & 0xff;
            if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
                return std::string(kExclusiveUseReason);
            }
            throw;
        }
        Show(progress, 1, "Регенерация индексов для " + name + "...");
        if (!TableExists(db, name)) {
            return conn.Where(name) + ": the table is missing";
        }
        std::vector<std::string> rebuilt;
        if (def != nullptr) {
            const std::vector<std::string> creates = CreateIndexSql(*def, name);
            for (std::size_t i = 0; i < def->indexes.size(); ++i) {
                const IndexDef& index = def->indexes[i];
                const std::string indexName(index.name);
                const bool exists =
                    std::find(present.begin(), present.end(), indexName) != present.end();
                if (exists && isDamaged(indexName)) {
                    ForgetIndex(db, indexName);
                    mustVacuum = true;
                } else if (exists && !SameColumns(IndexColumnsOf(db, indexName), index.fields)) {
                    db.exec("DROP INDEX " + QuoteName(indexName));
                } else if (exists) {
                    db.exec("REINDEX " + QuoteName(indexName));
                    continue;
                }
                db.exec(creates[i]);
            }
        } else {
            for (const std::string& index : present) {
                if (isDamaged(index)) {
                    return conn.Where(name) + ": the index " + index +
                           " is damaged and not catalogued; rebuild the table";
                }
                db.exec("REINDEX " + QuoteName(index));
            }
        }
        transaction->commit();
    }
    if (mustVacuum) {
        db.tryExec("VACUUM");  // gives back the damaged index's pages
    }
    return std::nullopt;
}

}  // namespace

std::string ReindexFailureText(std::string_view table, std::string_view reason) {
    return "Невозможно регенерировать индексы " + std::string(table) +
           ". Причина: " + std::string(reason);
}

std::vector<std::string> ReindexTableList(Connection& db) {
    auto lock = db.Lock();
    std::vector<std::string> tables;
    for (const TableDef* def : TablesOf(db.alias())) {
        tables.emplace_back(def->name);
    }
    try {
        SQLite::Statement query(db.Db(),
                                "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT "
                                "LIKE 'sqlite_%'");
        while (query.executeStep()) {
            std::string name = query.getColumn(0).getString();
            if (FindTableDef(name) == nullptr) {
                tables.push_back(std::move(name));
            }
        }
    } catch (const SQLite::Exception&) {
        // A damaged schema still lists the catalogued tables; each then fails with its reason.
    }
    std::sort(tables.begin(), tables.end(), LessNoCase);
    tables.insert(tables.begin(), std::string(kAllTablesEntry));
    return tables;
}

std::optional<std::string> ReindexTable(Connection& db, std::string_view table,
                                        const ReindexProgress& progress) {
    auto lock = db.Lock();
    const TableDef* def = FindTableDef(table);
    const std::string name = def != nullptr ? std::string(def->name) : std::string(table);
    Show(progress, 1, "Открыта " + name + "...");
    std::optional<std::string> reason;
    if (db.ReadOnly()) {
        reason = db.Where(name) + ": the database is open read-only";
    } else {
        try {
            reason = ReindexLocked(db, name, progress);
        } catch (const SQLite::Exception& error) {
            reason = EngineError(db.Where(name), error).what();
        } catch (const StoreError& error) {
            reason = error.what();
        }
    }
    Show(progress, 1, "");
    return reason;
}

int ReindexAllTables(Connection& db, const ReindexProgress& progress) {
    const std::vector<std::string> list = ReindexTableList(db);
    const std::size_t count = list.size();
    int failures = 0;
    for (std::size_t position = 1; position < count; ++position) {
        Show(progress, 2, "Осталось - " + std::to_string(count - position) + " таблиц");
        if (auto reason = ReindexTable(db, list[position], progress)) {
            ++failures;
            if (progress.failed) {
                progress.failed(list[position], *reason);
            }
        }
    }
    Show(progress, 2, "");
    return failures;
}

}  // namespace miradel
