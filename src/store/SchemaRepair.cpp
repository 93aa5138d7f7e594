#include "store/SchemaRepair.h"

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include "store/TableCatalogue.h"

namespace miradel {

namespace {

void Forget(SQLite::Database& db, const std::string& condition, std::string_view name) {
    const int version = db.execAndGet("PRAGMA schema_version").getInt();
    db.exec("PRAGMA writable_schema = ON");
    try {
        SQLite::Statement erase(db, "DELETE FROM sqlite_master WHERE " + condition);
        erase.bind(1, std::string(name));
        erase.exec();
        db.exec("PRAGMA schema_version = " + std::to_string(version + 1));
    } catch (...) {
        db.tryExec("PRAGMA writable_schema = RESET");
        throw;
    }
    db.exec("PRAGMA writable_schema = RESET");
}

}  // namespace

bool TableExists(SQLite::Database& db, std::string_view table) {
    SQLite::Statement query(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    query.bind(1, std::string(table));
    return query.executeStep();
}

std::vector<std::string> ColumnsOf(SQLite::Database& db, std::string_view table) {
    SQLite::Statement query(db, "SELECT name FROM pragma_table_info(?) ORDER BY cid");
    query.bind(1, std::string(table));
    std::vector<std::string> columns;
    while (query.executeStep()) {
        columns.push_back(query.getColumn(0).getString());
    }
    return columns;
}

std::vector<std::string> IndexesOf(SQLite::Database& db, std::string_view table) {
    SQLite::Statement query(db,
                            "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = ? "
                            "AND sql IS NOT NULL ORDER BY name");
    query.bind(1, std::string(table));
    std::vector<std::string> indexes;
    while (query.executeStep()) {
        indexes.push_back(query.getColumn(0).getString());
    }
    return indexes;
}

std::vector<std::string> IndexColumnsOf(SQLite::Database& db, std::string_view index) {
    SQLite::Statement query(db, "SELECT name FROM pragma_index_info(?) ORDER BY seqno");
    query.bind(1, std::string(index));
    std::vector<std::string> columns;
    while (query.executeStep()) {
        columns.push_back(query.getColumn(0).getString());
    }
    return columns;
}

void ForgetTable(SQLite::Database& db, std::string_view table) {
    Forget(db, "tbl_name = ?", table);
    try {
        SQLite::Statement erase(db, "DELETE FROM sqlite_sequence WHERE name = ?");
        erase.bind(1, std::string(table));
        erase.exec();
    } catch (const SQLite::Exception&) {
        // No sequence table (no AUTO field anywhere) or a damaged one: nothing to forget.
    }
}

void ForgetIndex(SQLite::Database& db, std::string_view index) {
    Forget(db, "type = 'index' AND name = ?", index);
}

std::optional<std::string> ScanIndex(SQLite::Database& db, std::string_view table,
                                     std::string_view index) {
    std::string list;
    try {
        for (const std::string& column : IndexColumnsOf(db, index)) {
            list += list.empty() ? "" : ", ";
            list += QuoteName(column);
        }
        if (list.empty()) {
            return std::nullopt;
        }
        SQLite::Statement scan(db, "SELECT " + list + " FROM " + QuoteName(table) + " INDEXED BY " +
                                       QuoteName(index) + " ORDER BY " + list);
        while (scan.executeStep()) {
        }
    } catch (const SQLite::Exception& error) {
        return std::string(error.what());
    }
    return std::nullopt;
}

std::optional<std::string> ScanTable(SQLite::Database& db, std::string_view table) {
    try {
        SQLite::Statement scan(db, "SELECT * FROM " + QuoteName(table) + " NOT INDEXED");
        const int columns = scan.getColumnCount();
        while (scan.executeStep()) {
            for (int i = 0; i < columns; ++i) {
                (void)scan.getColumn(i).getString();
            }
        }
        for (const std::string& index : IndexesOf(db, table)) {
            if (auto error = ScanIndex(db, table, index)) {
                return error;
            }
        }
    } catch (const SQLite::Exception& error) {
        return std::string(error.what());
    }
    return std::nullopt;
}

}  // namespace miradel
