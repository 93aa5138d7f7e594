#include "store/StoreError.h"

#include <SQLiteCpp/Exception.h>
#include <sqlite3.h>

namespace miradel {

namespace {

// What the administrator should understand from the primary result code.
const char* PlainWords(int primary) {
    switch (primary) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "the database is locked by another connection or program";
        case SQLITE_FULL:
            return "the disk is full";
        case SQLITE_READONLY:
            return "the database file is read-only";
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return "the database file is damaged (verify and repair it)";
        case SQLITE_CANTOPEN:
            return "the database file cannot be opened";
        case SQLITE_IOERR:
            return "input/output error on the database file";
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return "access to the database file is denied";
        case SQLITE_CONSTRAINT:
            return "a value does not fit its field";
        default:
            return nullptr;
    }
}

}  // namespace

bool StoreError::Busy() const {
    const int primary = code_ & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

bool StoreError::Damaged() const {
    const int primary = code_ & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

StoreError EngineError(const std::string& where, int code, const std::string& engineMessage) {
    const char* words = PlainWords(code & 0xff);
    std::string message = where + ": ";
    if (words != nullptr) {
        message += words;
        message += " (" + engineMessage + ")";
    } else {
        message += engineMessage;
    }
    return StoreError(message, code);
}

StoreError EngineError(const std::string& where, const SQLite::Exception& error) {
    int code = error.getExtendedErrorCode();
    if (code <= 0) {
        code = error.getErrorCode();
    }
    return EngineError(where, code, error.what());
}

}  // namespace miradel
