#pragma once
// One connection to the database file of an alias. The data module holds three: APPD_MAIN and
// APPZ on the window/engine side, APPD_THREAD for the worker threads (fiscal workers, the
// payment queue, the dial-around run).
//
// Threads: a connection carries a lock, and every table operation holds it for the whole
// call, so a connection may be reached from several threads without tearing the engine's
// state; a writer holds it from the ready check to the post. A table object, however, has
// one cursor and one edit buffer: use each table object from one thread at a time, and give
// worker threads the tables of APPD_THREAD. Two connections to one file wait for each other's
// writes up to the busy timeout; after that the write fails with a "locked" StoreError.
//
// Durability: the file is in WAL mode with synchronous=FULL, so a row whose post returned is
// on disk and survives a power cut.

#include <SQLiteCpp/Database.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "store/TableCatalogue.h"

namespace miradel {

enum class OpenMode {
    CreateIfMissing,  // the office: creates the file with all its tables on first start
    ExistingOnly,     // maintenance: the file must exist; read and write
    ReadOnly,         // looking only; never writes, never creates
};

inline constexpr int kDefaultBusyTimeoutMs = 2000;

class Connection {
  public:
    // Opens (or creates) workDir/<alias file>, sets WAL and synchronous=FULL and brings the
    // schema to the current version. Throws StoreError with a plain message when the file is
    // missing (ExistingOnly, ReadOnly), read-only, locked, damaged or newer than this release.
    Connection(const std::filesystem::path& workDir, Alias alias, OpenMode mode,
               std::string name = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Alias alias() const { return alias_; }
    const std::string& Name() const { return name_; }  // "APPD_MAIN", or the file name
    const std::filesystem::path& File() const { return file_; }
    bool ReadOnly() const { return mode_ == OpenMode::ReadOnly; }

    // Hold the lock around every use of Db() (recursive: a holder may call table operations).
    std::unique_lock<std::recursive_mutex> Lock() const {
        return std::unique_lock<std::recursive_mutex>(mutex_);
    }
    SQLite::Database& Db() { return *db_; }

    void SetBusyTimeout(int ms);
    int BusyTimeout() const { return busyTimeoutMs_; }

    // "APPD.sqlite" for messages, or "APPD.sqlite: INFO".
    std::string Where(std::string_view table = {}) const;

  private:
    Alias alias_;
    OpenMode mode_;
    std::string name_;
    std::filesystem::path file_;
    int busyTimeoutMs_ = kDefaultBusyTimeoutMs;
    mutable std::recursive_mutex mutex_;
    std::unique_ptr<SQLite::Database> db_;
};

}  // namespace miradel
