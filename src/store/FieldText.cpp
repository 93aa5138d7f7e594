#include "store/FieldText.h"

#include "store/DateValue.h"

namespace miradel {

std::string DisplayText(const TableDef& table, const FieldDef& field, const StoredValue& value) {
    if (std::holds_alternative<std::monostate>(value)) {
        return {};
    }
    if (const auto* number = std::get_if<int64_t>(&value)) {
        return std::to_string(*number);
    }
    const std::string& text = std::get<std::string>(value);
    if (field.type == FieldType::Date) {
        const auto date = ParseIsoDate(text);
        return date ? DisplayText(*date, table.dateStyle) : text;
    }
    if (field.type == FieldType::Time) {
        const auto time = ParseIsoTime(text);
        return time ? DisplayText(*time, table.dateStyle) : text;
    }
    return text;
}

}  // namespace miradel
