#include "store/Connection.h"

#include <SQLiteCpp/Exception.h>
#include <sqlite3.h>
#include <unistd.h>

#include "store/Schema.h"
#include "store/StoreError.h"

namespace miradel {

namespace fs = std::filesystem;

Connection::Connection(const fs::path& workDir, Alias alias, OpenMode mode, std::string name)
    : alias_(alias),
      mode_(mode),
      name_(name.empty() ? DatabaseFileName(alias) : std::move(name)),
      file_(workDir / DatabaseFileName(alias)) {
    const std::string where = file_.string();
    std::error_code ignored;
    if (mode != OpenMode::CreateIfMissing && !fs::exists(file_, ignored)) {
        throw StoreError(where + ": the database file does not exist");
    }
    if (mode == OpenMode::CreateIfMissing && !fs::is_directory(workDir, ignored)) {
        throw StoreError(where + ": the working folder " + workDir.string() + " does not exist");
    }
    // A file the program may not write would fail on the first call record; say so at once.
    if (mode != OpenMode::ReadOnly && fs::exists(file_, ignored) &&
        ::access(file_.c_str(), W_OK) != 0) {
        throw StoreError(where + ": the database file is read-only", SQLITE_READONLY);
    }
    int flags = SQLite::OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (mode == OpenMode::CreateIfMissing) {
        flags |= SQLite::OPEN_CREATE;
    }
    if (mode == OpenMode::ReadOnly) {
        flags = SQLite::OPEN_READONLY | SQLITE_OPEN_FULLMUTEX;
    }
    try {
        db_ = std::make_unique<SQLite::Database>(file_, flags, busyTimeoutMs_);
        // The first read of a damaged file fails here rather than deep inside a writer.
        db_->execAndGet("SELECT count(*) FROM sqlite_master");
        // A newer file is refused before anything here writes to it.
        const int version = SchemaVersionOf(*db_);
        if (version > kSchemaVersion) {
            throw StoreError(where + ": written by a newer release of the program (schema " +
                             std::to_string(version) + ", this release knows up to " +
                             std::to_string(kSchemaVersion) + "); the file was left as it is");
        }
        if (mode != OpenMode::ReadOnly) {
            const std::string journal = db_->execAndGet("PRAGMA journal_mode = WAL").getString();
            if (journal != "wal") {
                throw StoreError(where + ": cannot switch the file to WAL mode (" + journal + ")");
            }
            db_->exec("PRAGMA synchronous = FULL");
            PrepareSchema(*db_, alias);
        }
    } catch (const SQLite::Exception& error) {
        throw EngineError(where, error);
    }
}

Connection::~Connection() = default;

void Connection::SetBusyTimeout(int ms) {
    auto lock = Lock();
    db_->setBusyTimeout(ms);
    busyTimeoutMs_ = ms;
}

std::string Connection::Where(std::string_view table) const {
    std::string where = DatabaseFileName(alias_);
    if (!table.empty()) {
        where += ": ";
        where += table;
    }
    return where;
}

}  // namespace miradel
