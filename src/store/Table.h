#pragma once
// A table object: one catalogued table seen through a cursor, as the office's logic uses it
// (open and close, browse/edit/insert states, navigation in the order of the selected index,
// append/edit/post/cancel/delete, fields by name, typed selections, exact key lookup).
//
// The cursor is resolved lazily: opening a table or appending to it reads nothing, so the
// booths' appends stay cheap however long INFO grows; the first navigation reads the row ids
// of the current selection in the current order.
//
// Threads: see Connection. Every operation holds the connection's lock for its duration; the
// object itself (cursor, edit buffer) belongs to one thread at a time.

#include <SQLiteCpp/Statement.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/Connection.h"
#include "store/DateValue.h"
#include "store/FieldText.h"
#include "store/Selection.h"
#include "store/TableCatalogue.h"

namespace miradel {

enum class TableState { Inactive, Browse, Edit, Insert };

class Table;

// One field of the current record (or of the record being edited or inserted). Getters of a
// field that was never set give 0, an empty text, or an invalid date/time. Setters need the
// edit or insert state. Conversions that cannot be made throw BadValueError.
class Field {
  public:
    const FieldDef& Def() const;
    bool IsNull() const;

    int64_t AsInteger() const;     // a Str field is read as a number
    std::string AsString() const;  // the display text (dates and times in the table's style)
    CalendarDate AsDate() const;
    TimeOfDay AsTime() const;

    void SetInteger(int64_t value);  // range-checked for Int16 and Int32
    // Int fields read the text as a number, Date and Time fields as a date or a time
    // ("5.3.2009", "31.12.08", "9:5:7"); Str fields keep at most their width in characters.
    void SetString(std::string_view text);
    void SetDate(const CalendarDate& date);
    void SetTime(const TimeOfDay& time);
    void Clear();

  private:
    friend class Table;
    Field(Table& table, int index) : table_(&table), index_(index) {}
    const StoredValue& Value() const;
    void Store(StoredValue value);

    Table* table_;
    int index_;
};

class Table {
  public:
    Table(Connection& connection, const TableDef& def, std::string objectName);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const TableDef& Def() const { return def_; }
    const std::string& ObjectName() const { return objectName_; }  // "tblInfo"
    Connection& connection() const { return conn_; }

    // Open is harmless on an open table; a missing or damaged table raises StoreError here.
    // Close drops a pending edit or insert. The index and the selection stay set across
    // close and open, as the table's properties.
    void Open();
    void Close();
    bool Active() const { return active_; }
    TableState State() const { return state_; }

    // Navigation needs the browse state (post or cancel a pending record first).
    void First();
    void Last();
    void Next();   // at the last record: Eof() becomes true and the record stays
    void Prior();  // at the first record: Bof() becomes true
    int64_t MoveBy(int64_t distance);  // returns how far it moved
    bool Eof();
    bool Bof();
    int64_t RecNo();  // 1-based position in the current order; 0 when there is no record
    int64_t RecordCount();
    bool IsEmpty() { return RecordCount() == 0; }

    // Append needs the browse state; every field starts unset. Post writes the record (an
    // insert is on disk when Post returns) and makes it current; on an engine error it throws
    // and the record stays pending. Delete makes the next record current (the previous one
    // at the end).
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();

    Field FieldByName(std::string_view name);  // StoreError for an unknown field

    // "" selects the primary order (AUTO, else the order of writing). The current record
    // stays current.
    void SelectIndex(std::string_view name);
    std::string_view IndexName() const;

    // Replaces the selection and goes to the first record of it. Checks fields and values
    // first: a bad selection throws and leaves the old one in place.
    void SetSelection(const Selection& selection);
    void ClearSelection();
    bool Filtered() const { return filtered_; }

    // Exact lookup on the first key fields of the current index (the AUTO field in primary
    // order): goes to the first matching record of the selection and returns true, or
    // returns false and stays.
    bool FindKey(const std::vector<FieldValue>& key);

    // Reads the selection again (after other objects or programs wrote), keeping the current
    // record where it still exists.
    void Refresh();

    // The engine's row id of the current record (AUTO where the table has one); nullopt when
    // there is none.
    std::optional<int64_t> CurrentRowId();

  private:
    friend class Field;

    void RequireActive() const;
    void RequireBrowse() const;
    void RequireEditing() const;
    std::string Where() const;
    void Invalidate();
    void EnsurePosition();
    void BuildKeyset();
    bool GoTo(std::size_t pos);
    bool LoadRow(int64_t rowid);
    const std::vector<StoredValue>& Values() const;

    Connection& conn_;
    const TableDef& def_;
    std::string objectName_;

    bool active_ = false;
    TableState state_ = TableState::Inactive;
    const IndexDef* index_ = nullptr;
    bool filtered_ = false;
    Selection::Sql selection_;

    std::unique_ptr<SQLite::Statement> fetch_;
    std::unique_ptr<SQLite::Statement> insert_;

    // The cursor: row ids of the selection in the current order, built on first need.
    std::vector<int64_t> keyset_;
    bool keysetValid_ = false;
    bool atFirst_ = false;  // go to the first record once the keyset is read
    std::optional<int64_t> currentRowId_;
    std::size_t pos_ = 0;
    bool bof_ = true;
    bool eof_ = true;

    std::vector<StoredValue> current_;  // empty when there is no current record
    std::vector<StoredValue> buffer_;   // the record being edited or inserted
    std::vector<bool> changed_;
};

}  // namespace miradel
