#pragma once
// Schema versions of the database files. PRAGMA user_version holds the version a file is at.
// A new file is created straight at the current version from the catalogue; an older file is
// brought forward by the migrations, one version at a time, each in its own transaction, so a
// later release can add a column without losing an office's data. A file written by a newer
// release is refused rather than guessed at.

#include <functional>
#include <vector>

#include "store/TableCatalogue.h"

namespace SQLite {
class Database;
}

namespace miradel {

// Version 1: the fifteen tables as catalogued.
inline constexpr int kSchemaVersion = 1;

struct Migration {
    Alias alias;
    int toVersion;  // applied to a file at toVersion - 1
    std::function<void(SQLite::Database&)> apply;
};

// The migrations of this release (none yet: version 1 is the first).
const std::vector<Migration>& Migrations();

// Creates or upgrades the alias's file. Throws StoreError when the file is newer than
// `targetVersion`, is not an office database, or a step fails (the file then stays at the last
// version completed).
void PrepareSchema(SQLite::Database& db, Alias alias, int targetVersion = kSchemaVersion,
                   const std::vector<Migration>& migrations = Migrations());

// The version the file is at (0 for a new, empty file).
int SchemaVersionOf(SQLite::Database& db);

}  // namespace miradel
