#pragma once
// Errors of the data store. Every failure of the engine, and every value that cannot be stored
// or read as the field's type, reaches the caller as a StoreError with a message an engineer
// can act on; nothing is swallowed.

#include <stdexcept>
#include <string>

namespace SQLite {
class Exception;
}

namespace miradel {

class StoreError : public std::runtime_error {
  public:
    // `code` is the SQLite extended result code, or 0 for the store's own checks.
    explicit StoreError(const std::string& message, int code = 0)
        : std::runtime_error(message), code_(code) {}

    int Code() const { return code_; }
    // The engine was busy (another connection or program holds the write lock).
    bool Busy() const;
    // The file's content is damaged (not a database, or a malformed page).
    bool Damaged() const;

  private:
    int code_;
};

// A typed value (a number, a date, a time) that cannot be read from the text given, or does
// not fit the field. Raised before anything is selected or written.
class BadValueError : public StoreError {
  public:
    explicit BadValueError(const std::string& message) : StoreError(message, 0) {}
};

// The engine's exception as a StoreError whose message names the database file (or table)
// and says in plain words what went wrong: locked, disk full, read-only, damaged ...
StoreError EngineError(const std::string& where, const SQLite::Exception& error);
StoreError EngineError(const std::string& where, int code, const std::string& engineMessage);

}  // namespace miradel
