#include "store/Schema.h"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>
#include <SQLiteCpp/Transaction.h>

#include <string>

#include "store/StoreError.h"

namespace miradel {

namespace {

bool HasUserTables(SQLite::Database& db) {
    SQLite::Statement query(db,
                            "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name NOT "
                            "LIKE 'sqlite_%'");
    query.executeStep();
    return query.getColumn(0).getInt64() > 0;
}

void CreateCatalogue(SQLite::Database& db, Alias alias) {
    for (const TableDef* table : TablesOf(alias)) {
        db.exec(CreateTableSql(*table, table->name));
        for (const std::string& sql : CreateIndexSql(*table, table->name)) {
            db.exec(sql);
        }
    }
}

void SetVersion(SQLite::Database& db, int version) {
    db.exec("PRAGMA user_version = " + std::to_string(version));
}

}  // namespace

const std::vector<Migration>& Migrations() {
    static const std::vector<Migration> migrations;
    return migrations;
}

int SchemaVersionOf(SQLite::Database& db) {
    return db.execAndGet("PRAGMA user_version").getInt();
}

void PrepareSchema(SQLite::Database& db, Alias alias, int targetVersion,
                   const std::vector<Migration>& migrations) {
    const std::string where = db.getFilename();
    try {
        int version = SchemaVersionOf(db);
        if (version > targetVersion) {
            throw StoreError(where + ": written by a newer release of the program (schema " +
                             std::to_string(version) + ", this release knows up to " +
                             std::to_string(targetVersion) + "); the file was left as it is");
        }
        if (version == targetVersion) {
            return;
        }
        if (version == 0) {
            // BEGIN IMMEDIATE so that two connections starting together cannot both create.
            SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
            if (SchemaVersionOf(db) == 0) {
                if (HasUserTables(db)) {
                    throw StoreError(where +
                                     ": holds tables but no schema version; it is not a call "
                                     "office database, the file was left as it is");
                }
                CreateCatalogue(db, alias);
                SetVersion(db, targetVersion);
            }
            transaction.commit();
            return;
        }
        while (true) {
            SQLite::Transaction transaction(db, SQLite::TransactionBehavior::IMMEDIATE);
            version = SchemaVersionOf(db);  // another connection may have moved it on
            if (version >= targetVersion) {
                break;
            }
            bool found = false;
            for (const Migration& step : migrations) {
                if (step.alias == alias && step.toVersion == version + 1) {
                    step.apply(db);
                    found = true;
                }
            }
            if (!found) {
                throw StoreError(where + ": no migration from schema " + std::to_string(version) +
                                 " to " + std::to_string(version + 1));
            }
            SetVersion(db, version + 1);
            transaction.commit();
        }
    } catch (const SQLite::Exception& error) {
        throw EngineError(where, error);
    }
}

}  // namespace miradel
