#pragma once
// A field's value as the engine holds it, and its display text: numbers in decimal, text as
// is, dates and times in the table's style ("5.3.2009" for INFO, "05.03.2009" elsewhere).

#include <cstdint>
#include <string>
#include <variant>

#include "store/TableCatalogue.h"

namespace miradel {

// Null (a field never set), an integer, or text (Str, Memo, and ISO dates and times).
using StoredValue = std::variant<std::monostate, int64_t, std::string>;

// Null shows as an empty text. A date or time whose stored text is not ISO (a damaged row)
// shows as it is stored.
std::string DisplayText(const TableDef& table, const FieldDef& field, const StoredValue& value);

}  // namespace miradel
