#pragma once
// The fifteen tables of the call office: their fields in order, with types and widths, and
// their indexes by name. The catalogue is the one description of the schema: the database is
// created from it, table objects check field names and values against it, verification
// compares the files with it.

#include <string>
#include <string_view>
#include <vector>

#include "store/DateValue.h"

namespace miradel {

// Int16 and Int32 are range-checked integers; AutoInc is the table's integer primary key,
// assigned by the engine in increasing order and never reused; Str(n) holds at most n
// characters; Memo is text of any length.
enum class FieldType { Int16, Int32, AutoInc, Str, Date, Time, Memo };

// One database file per alias in the working folder.
enum class Alias { APPD, APPZ };

struct FieldDef {
    std::string_view name;
    FieldType type;
    int width = 0;  // Str: most characters; Memo: the size the office's forms show
};

// Non-unique. Rows of equal key keep the order in which they were written.
struct IndexDef {
    std::string_view name;
    std::vector<std::string_view> fields;
    // Text keys compare without regard to letter case; the text column itself is declared so,
    // which lets the index serve selections and ordering alike.
    bool caseInsensitive = false;
};

struct TableDef {
    std::string_view name;  // "INFO"
    Alias alias;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;
    std::string_view defaultIndex;  // empty: the primary order (AUTO, else order of writing)
    DateStyle dateStyle = DateStyle::Short;

    // Field and index names are found without regard to letter case, as the office wrote them.
    int FieldIndex(std::string_view field) const;  // -1 when there is none
    const FieldDef* Field(std::string_view field) const;
    const IndexDef* Index(std::string_view index) const;
    const FieldDef* AutoIncField() const;  // nullptr for tables without one
};

const std::vector<TableDef>& TableCatalogue();
const TableDef* FindTableDef(std::string_view table);  // any letter case; nullptr if unknown
std::vector<const TableDef*> TablesOf(Alias alias);

std::string_view AliasName(Alias alias);    // "APPD"
std::string DatabaseFileName(Alias alias);  // "APPD.sqlite"

// SQL of the catalogue. `tableName` lets maintenance create a table's twin under another name.
std::string QuoteName(std::string_view name);
std::string CreateTableSql(const TableDef& table, std::string_view tableName);
std::vector<std::string> CreateIndexSql(const TableDef& table, std::string_view tableName);
// The ORDER BY list of an index (nullptr: the primary order), ending in rowid so that the
// order is total.
std::string OrderBySql(const IndexDef* index);

}  // namespace miradel
