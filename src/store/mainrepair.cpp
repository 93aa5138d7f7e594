#include "store/mainrepair.h"

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>

#include "common/Cp1251.h"
#include "common/DateText.h"
#include "store/SchemaRepair.h"
#include "store/StoreError.h"
#include "store/TableCatalogue.h"

namespace miradel {

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 5> kLevelMessages = {
    "Верификация завершена. В таблице нет ошибок.",
    "Верификация завершена. Верификация полностью успешна!.",
    "Верификация завершена. Верификация прошла частично!",
    "Верификация завершена. Необходимо восстановить таблицу!",
    "Верификация завершена. Таблица не может быть восстановлена.",
};

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

// The check's report, one problem a row; empty when it says "ok".
std::vector<std::string> RunCheck(SQLite::Database& db, const std::string& pragma) {
    SQLite::Statement query(db, pragma);
    std::vector<std::string> problems;
    while (query.executeStep()) {
        std::string line = query.getColumn(0).getString();
        if (line == "ok") {
            continue;
        }
        // quick_check puts several problems into one row, one a line.
        std::size_t start = 0;
        while (start <= line.size()) {
            const std::size_t end = line.find('\n', start);
            std::string part = line.substr(start, end == std::string::npos ? end : end - start);
            if (!part.empty() && part.rfind("*** in database", 0) != 0) {
                problems.push_back(std::move(part));
            }
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
    }
    return problems;
}

// Reads every column of every row through the table's own b-tree; returns the rows read and
// the error that stopped it, if any.
std::pair<int64_t, std::optional<std::string>> ScanRows(SQLite::Database& db,
                                                        std::string_view table) {
    int64_t rows = 0;
    try {
        SQLite::Statement scan(db, "SELECT * FROM " + QuoteName(table) + " NOT INDEXED");
        const int columns = scan.getColumnCount();
        while (scan.executeStep()) {
            for (int i = 0; i < columns; ++i) {
                (void)scan.getColumn(i).getString();
            }
            ++rows;
        }
    } catch (const SQLite::Exception& error) {
        return {rows, std::string(error.what())};
    }
    return {rows, std::nullopt};
}

bool ColumnsMatch(const std::vector<std::string>& actual,
                  const std::vector<std::string_view>& expected) {
    return std::equal(actual.begin(), actual.end(), expected.begin(), expected.end(),
                      [](const std::string& a, std::string_view b) { return SameName(a, b); });
}

VerifyResult VerifyLocked(Connection& conn, std::string_view tableName) {
    SQLite::Database& db = conn.Db();
    VerifyResult result;
    const TableDef* def = FindTableDef(tableName);
    const std::string name = def != nullptr ? std::string(def->name) : std::string(tableName);
    try {
        if (!TableExists(db, name)) {
            result.completed = true;
            result.level = 3;
            result.problems.push_back("the table " + name + " is missing");
            return result;
        }
    } catch (const SQLite::Exception& error) {
        // Not even the schema reads: the file itself is beyond the table tools.
        result.completed = true;
        result.level = 4;
        result.problems.push_back(EngineError(conn.Where(), error).what());
        return result;
    }
    result.completed = true;
    bool rowsDamaged = false;
    bool indexDamaged = false;

    const std::vector<std::string> columns = ColumnsOf(db, name);
    if (def != nullptr) {
        std::vector<std::string_view> expected;
        for (const FieldDef& field : def->fields) {
            expected.push_back(field.name);
        }
        if (!ColumnsMatch(columns, expected)) {
            rowsDamaged = true;
            result.problems.push_back("the fields of " + name + " differ from the catalogue");
        }
        const std::vector<std::string> present = IndexesOf(db, name);
        for (const IndexDef& index : def->indexes) {
            const bool found = std::any_of(present.begin(), present.end(),
                                           [&](const std::string& n) { return n == index.name; });
            if (!found) {
                indexDamaged = true;
                result.problems.push_back("the index " + std::string(index.name) + " is missing");
            } else if (!ColumnsMatch(IndexColumnsOf(db, index.name), index.fields)) {
                indexDamaged = true;
                result.problems.push_back("the index " + std::string(index.name) +
                                          " has other key fields than catalogued");
            }
        }
    }

    std::vector<std::string> structural;
    try {
        structural = RunCheck(db, "PRAGMA quick_check(" + QuoteName(name) + ")");
    } catch (const SQLite::Exception& error) {
        structural.push_back(error.what());
    }

    const auto [rowsRead, rowError] = ScanRows(db, name);
    if (rowError) {
        result.problems.push_back("rows stop reading after " + std::to_string(rowsRead) + ": " +
                                  *rowError);
        result.problems.insert(result.problems.end(), structural.begin(), structural.end());
        result.level = rowsRead == 0 ? 4 : 3;
        return result;
    }
    bool anIndexFailed = false;
    for (const std::string& index : IndexesOf(db, name)) {
        if (auto error = ScanIndex(db, name, index)) {
            anIndexFailed = true;
            result.problems.push_back("the index " + index + " cannot be read: " + *error);
        }
    }
    result.problems.insert(result.problems.end(), structural.begin(), structural.end());
    if (!structural.empty() && !anIndexFailed) {
        // Damage the row and index scans did not meet: its place is unknown.
        rowsDamaged = true;
    }
    if (structural.empty() && !anIndexFailed) {
        // Every b-tree reads; now compare every index with the rows.
        std::vector<std::string> consistency;
        try {
            consistency = RunCheck(db, "PRAGMA integrity_check(" + QuoteName(name) + ")");
        } catch (const SQLite::Exception& error) {
            consistency.push_back(error.what());
            rowsDamaged = true;
        }
        for (const std::string& line : consistency) {
            if (line.find(" index ") != std::string::npos) {
                indexDamaged = true;
            } else {
                rowsDamaged = true;
            }
        }
        result.problems.insert(result.problems.end(), consistency.begin(), consistency.end());
    }
    if (rowsDamaged) {
        result.level = 3;
    } else if (anIndexFailed) {
        result.level = 2;  // the damaged index could not be compared with the rows
    } else if (indexDamaged) {
        result.level = 1;
    }
    return result;
}

}  // namespace

std::string_view VerifyLevelMessage(int level) {
    return kLevelMessages[static_cast<std::size_t>(std::clamp(level, 0, 4))];
}

std::string VerifyResult::Message() const {
    return std::string(completed ? VerifyLevelMessage(level) : kVerifyImpossible);
}

VerifyResult VerifyTable(Connection& db, std::string_view table) {
    auto lock = db.Lock();
    try {
        return VerifyLocked(db, table);
    } catch (const SQLite::Exception& error) {
        VerifyResult result;
        result.completed = false;
        result.problems.push_back(EngineError(db.Where(table), error).what());
        return result;
    }
}

DatabaseVerifyResult VerifyDatabase(Connection& db) {
    auto lock = db.Lock();
    DatabaseVerifyResult result;
    for (const TableDef* def : TablesOf(db.alias())) {
        VerifyResult table = VerifyTable(db, def->name);
        result.level = std::max(result.level, table.completed ? table.level : 4);
        result.tables.emplace_back(std::string(def->name), std::move(table));
    }
    try {
        for (std::string& line : RunCheck(db.Db(), "PRAGMA quick_check")) {
            // Lines about rows and indexes were reported with their tables above.
            if (line.rfind("Page ", 0) == 0 || line.find("freelist") != std::string::npos ||
                line.find("Freelist") != std::string::npos) {
                result.problems.push_back(std::move(line));
            }
        }
    } catch (const SQLite::Exception& error) {
        result.problems.push_back(EngineError(db.Where(), error).what());
    }
    if (!result.problems.empty()) {
        result.level = std::max(result.level, 3);
    }
    return result;
}

std::string TablePath(const Connection& db, std::string_view table) {
    return db.File().string() + ":" + std::string(table);
}

RepairPassResult RepairAllTables(const std::vector<Connection*>& databases, const fs::path& logFile,
                                 const Clock& clock, OperatorPrompt& prompt) {
    RepairPassResult pass;
    const auto tellCannotOpen = [&] {
        prompt.Ask(PromptRequest{std::string(kRepairLogOpenFailed),
                                 std::string(kRepairLogOpenCaption), PromptButtons::Ok,
                                 PromptIcon::Error});
    };
    const auto write = [&](const char* mode, const std::string& utf8) {
        std::FILE* file = std::fopen(logFile.c_str(), mode);
        if (file == nullptr) {
            return false;
        }
        const std::string bytes = Utf8ToCp1251(utf8);
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        return std::fclose(file) == 0 && written;
    };
    LocalDateTime now = clock.Now();
    if (!write("wb", "Восстановление всех таблиц базы данных АПП:\n\nНачало работы:\n" +
                         DateText(now) + "\n" + TimeText(now) + "\n\n")) {
        tellCannotOpen();
        return pass;
    }
    pass.logCreated = true;
    for (Connection* db : databases) {
        const std::string backupFailure = TakeBackup(*db);
        std::vector<const TableDef*> tables = TablesOf(db->alias());
        std::sort(tables.begin(), tables.end(), [](const TableDef* a, const TableDef* b) {
            return std::lexicographical_compare(
                a->name.begin(), a->name.end(), b->name.begin(), b->name.end(), [](char x, char y) {
                    return std::toupper(static_cast<unsigned char>(x)) <
                           std::toupper(static_cast<unsigned char>(y));
                });
        });
        for (const TableDef* def : tables) {
            RebuildResult result;
            if (backupFailure.empty()) {
                result = RebuildTable(*db, def->name, false);
            } else {
                result.detail = backupFailure;
            }
            if (!write("ab", "Таблица - " + TablePath(*db, def->name) + "\n" + result.Message() +
                                 "\n\n")) {
                tellCannotOpen();
            }
            pass.tables.emplace_back(std::string(def->name), std::move(result));
        }
    }
    now = clock.Now();
    if (!write("ab", "Конец работы:\n" + DateText(now) + "\n" + TimeText(now) + "\n")) {
        tellCannotOpen();
    }
    return pass;
}

}  // namespace miradel
