#include "store/BDEUtil.h"

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Transaction.h>

#include "store/StoreError.h"

namespace miradel {

namespace {

// In an order led by the date, the records before the first later one are exactly those
// dated on or before the limit (an empty date sorts first), so one DELETE does the walk.
bool OrderLedByDate(const Table& table) {
    const IndexDef* index = table.Def().Index(table.IndexName());
    return index != nullptr && !index->fields.empty() && index->fields.front() == "_DATE";
}

int64_t WalkAndDelete(Connection& conn, const Table& table, const std::string& limit,
                      bool settledOnly) {
    const TableDef& def = table.Def();
    const std::string name = QuoteName(def.name);
    std::vector<int64_t> doomed;
    {
        SQLite::Statement walk(conn.Db(), "SELECT rowid, \"_DATE\"" +
                                              std::string(settledOnly ? ", \"FLAG\"" : "") +
                                              " FROM " + name + " ORDER BY " +
                                              OrderBySql(def.Index(table.IndexName())));
        while (walk.executeStep()) {
            const SQLite::Column date = walk.getColumn(1);
            if (!date.isNull() && date.getString() > limit) {
                break;
            }
            if (settledOnly && walk.getColumn(2).getInt64() == 0) {
                continue;
            }
            doomed.push_back(walk.getColumn(0).getInt64());
        }
    }
    SQLite::Statement erase(conn.Db(), "DELETE FROM " + name + " WHERE rowid = ?");
    for (int64_t rowid : doomed) {
        erase.bind(1, rowid);
        erase.exec();
        erase.reset();
    }
    return static_cast<int64_t>(doomed.size());
}

}  // namespace

PurgeResult PurgeTable(Table& table, std::string_view typedDate, PurgeChoice choice,
                       bool clearIndex) {
    Connection& conn = table.connection();
    auto lock = conn.Lock();
    const TableDef& def = table.Def();
    const std::string where = conn.Where(def.name);
    const FieldDef* dateField = def.Field("_DATE");
    if (dateField == nullptr || dateField->type != FieldType::Date) {
        throw StoreError(where + ": the table has no _DATE field to purge by");
    }
    const bool settledOnly = choice == PurgeChoice::Settled;
    if (settledOnly && def.Field("FLAG") == nullptr) {
        throw StoreError(where + ": the table has no FLAG field");
    }
    const auto limit = ParseDate(typedDate);
    if (!limit) {
        throw BadValueError("'" + std::string(typedDate) + "' is not a valid date");
    }
    if (!table.Active()) {
        table.Open();
    }
    if (table.State() != TableState::Browse) {
        throw StoreError(where + ": the table has a pending record; post or cancel it first");
    }
    table.ClearSelection();
    if (clearIndex) {
        table.SelectIndex("");
    }

    PurgeResult result;
    result.limitText = DisplayText(*limit, def.dateStyle);
    const std::string limitIso = IsoText(*limit);
    try {
        SQLite::Transaction transaction(conn.Db(), SQLite::TransactionBehavior::IMMEDIATE);
        if (OrderLedByDate(table)) {
            SQLite::Statement erase(conn.Db(),
                                    "DELETE FROM " + QuoteName(def.name) +
                                        " WHERE (\"_DATE\" IS NULL OR \"_DATE\" <= ?)" +
                                        (settledOnly ? " AND IFNULL(\"FLAG\", 0) <> 0" : ""));
            erase.bind(1, limitIso);
            result.deleted = erase.exec();
        } else {
            result.deleted = WalkAndDelete(conn, table, limitIso, settledOnly);
        }
        transaction.commit();
    } catch (const SQLite::Exception& error) {
        throw EngineError(where, error);
    }
    table.First();
    result.status = std::string(kPurgeDone);
    return result;
}

PackResult PackTable(Table& table) {
    Connection& conn = table.connection();
    auto lock = conn.Lock();
    PackResult result;
    result.status = std::string(kPackFailed);
    const bool wasOpen = table.Active();
    if (wasOpen && table.State() != TableState::Browse) {
        result.detail = conn.Where(table.Def().name) +
                        ": the table has a pending record; post or cancel it first";
        return result;
    }
    try {
        if (!wasOpen) {
            table.Open();  // a missing or damaged table fails here
        }
        table.Close();
        conn.Db().exec("VACUUM");
        conn.Db().exec("PRAGMA wal_checkpoint(TRUNCATE)");
        result.ok = true;
        result.status = std::string(kPackDone);
    } catch (const SQLite::Exception& error) {
        result.detail = EngineError(conn.Where(table.Def().name), error).what();
    } catch (const StoreError& error) {
        result.detail = error.what();
    }
    if (wasOpen) {
        try {
            table.Open();
        } catch (const StoreError& error) {
            result.ok = false;
            result.status = std::string(kPackFailed);
            result.detail += result.detail.empty() ? "" : "; ";
            result.detail += error.what();
        }
    }
    return result;
}

const std::vector<PurgeWindow>& PurgeWindows() {
    static const std::vector<PurgeWindow> windows = {
        {"Очистка базы...", "INFO", 7, 26, false, false},
        {"Очистка базы...", "ENTERFAX", 8, 27, true, false},
        {"Очистка базы...", "TABLEROUND", -1, -1, false, false},
        {"Очистка базы...", "ZAKAZ", -1, -1, false, false},
        {"Очистка базы протокола", "FPRINT", 11, 30, false, false},
        {"Очистка базы невостребованных", "RETSUMMA", 10, 29, true, true},
        {"Очистка базы платежей", "REPORTPAY", 9, 28, false, false},
        {"Очистка базы аванса", "AVANSINFO", 12, 31, false, false},
    };
    return windows;
}

}  // namespace miradel
