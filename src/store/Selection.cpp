#include "store/Selection.h"

#include <algorithm>
#include <charconv>

#include "store/StoreError.h"

namespace miradel {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// Hours and minutes as a masked time input gives them.
TimeOfDay ParseMinuteText(std::string_view typed) {
    const std::string_view text = Trim(typed);
    const auto time = ParseTime(text);
    if (!time || std::count(text.begin(), text.end(), ':') != 1) {
        throw BadValueError("'" + std::string(typed) + "' is not a valid time (hours:minutes)");
    }
    return *time;
}

const char* OperatorSql(Compare compare) {
    switch (compare) {
        case Compare::Equal:
            return " = ?";
        case Compare::NotEqual:
            return " <> ?";
        case Compare::Less:
            return " < ?";
        case Compare::LessOrEqual:
            return " <= ?";
        case Compare::Greater:
            return " > ?";
        case Compare::GreaterOrEqual:
            return " >= ?";
    }
    return " = ?";
}

bool Fits(FieldType type, const FieldValue& value) {
    switch (type) {
        case FieldType::Int16:
        case FieldType::Int32:
        case FieldType::AutoInc:
            return std::holds_alternative<int64_t>(value);
        case FieldType::Str:
        case FieldType::Memo:
            return std::holds_alternative<std::string>(value);
        case FieldType::Date:
            return std::holds_alternative<CalendarDate>(value) &&
                   std::get<CalendarDate>(value).Valid();
        case FieldType::Time:
            return std::holds_alternative<TimeOfDay>(value) && std::get<TimeOfDay>(value).Valid();
    }
    return false;
}

const FieldDef& CheckedField(const TableDef& table, std::string_view field, FieldType expected,
                             bool checkType) {
    const FieldDef* def = table.Field(field);
    if (def == nullptr) {
        throw StoreError(std::string(table.name) + ": no field " + std::string(field));
    }
    if (checkType && def->type != expected) {
        throw StoreError(std::string(table.name) + ": field " + std::string(field) +
                         " is not of the kind the selection needs");
    }
    return *def;
}

}  // namespace

int64_t ParseNumberText(std::string_view typed) {
    const std::string_view text = Trim(typed);
    int64_t value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (!text.empty() && *begin == '+') {
        ++begin;
    }
    const auto [ptr, error] = std::from_chars(begin, end, value);
    if (text.empty() || error != std::errc() || ptr != end) {
        throw BadValueError("'" + std::string(typed) + "' is not a valid number");
    }
    return value;
}

CalendarDate ParseDateText(std::string_view typed) {
    const auto date = ParseDate(typed);
    if (!date) {
        throw BadValueError("'" + std::string(typed) + "' is not a valid date");
    }
    return *date;
}

DateTimeSpan ParseDateTimeSpan(std::string_view beginDate, std::string_view beginTime,
                               std::string_view endDate, std::string_view endTime) {
    DateTimeSpan span;
    span.beginDate = ParseDateText(beginDate);
    span.beginTime = ParseMinuteText(beginTime);
    span.beginTime.second = 0;
    span.endDate = ParseDateText(endDate);
    span.endTime = ParseMinuteText(endTime);
    span.endTime.second = 59;
    return span;
}

Selection& Selection::Where(std::string_view field, Compare compare, FieldValue value) {
    conditions_.push_back(Condition{std::string(field), compare, std::move(value)});
    return *this;
}

Selection& Selection::Between(std::string_view field, FieldValue from, FieldValue to) {
    Where(field, Compare::GreaterOrEqual, std::move(from));
    return Where(field, Compare::LessOrEqual, std::move(to));
}

Selection& Selection::InSpan(const DateTimeSpan& span, std::string_view dateField,
                             std::string_view timeField) {
    conditions_.push_back(Span{std::string(dateField), std::string(timeField), span});
    return *this;
}

Selection Selection::ReceiptRange(std::string_view field, std::string_view fromTyped,
                                  std::string_view toTyped) {
    Selection selection;
    selection.Between(field, ParseNumberText(fromTyped), ParseNumberText(toTyped));
    return selection;
}

Selection Selection::DateRange(std::string_view fromTyped, std::string_view toTyped,
                               std::string_view field) {
    Selection selection;
    selection.Between(field, ParseDateText(fromTyped), ParseDateText(toTyped));
    return selection;
}

Selection::Sql Selection::ToSql(const TableDef& table) const {
    Sql sql;
    for (const auto& item : conditions_) {
        if (!sql.where.empty()) {
            sql.where += " AND ";
        }
        if (const auto* condition = std::get_if<Condition>(&item)) {
            const FieldDef& field = CheckedField(table, condition->field, FieldType::Str, false);
            if (!Fits(field.type, condition->value)) {
                throw BadValueError(std::string(table.name) + ": the value for " +
                                    std::string(field.name) + " is not of its type");
            }
            sql.where += QuoteName(field.name) + OperatorSql(condition->compare);
            sql.params.push_back(condition->value);
            continue;
        }
        const Span& span = std::get<Span>(item);
        const std::string date =
            QuoteName(CheckedField(table, span.dateField, FieldType::Date, true).name);
        const std::string time =
            QuoteName(CheckedField(table, span.timeField, FieldType::Time, true).name);
        const DateTimeSpan& s = span.span;
        if (!s.beginDate.Valid() || !s.endDate.Valid() || !s.beginTime.Valid() ||
            !s.endTime.Valid()) {
            throw BadValueError(std::string(table.name) + ": the date-and-time span is not valid");
        }
        if (s.beginDate == s.endDate) {
            sql.where += "(" + date + " = ? AND " + time + " >= ? AND " + time + " <= ?)";
            sql.params.insert(sql.params.end(), {s.beginDate, s.beginTime, s.endTime});
            continue;
        }
        // The outer range lets the date index narrow the search; it changes nothing when the
        // begin day comes first. A span given backwards keeps the plain rule, as typed.
        if (s.beginDate < s.endDate) {
            sql.where += "(" + date + " >= ? AND " + date + " <= ? AND ";
            sql.params.insert(sql.params.end(), {s.beginDate, s.endDate});
        } else {
            sql.where += "(";
        }
        sql.where += "((" + date + " = ? AND " + time + " >= ?) OR (" + date + " = ? AND " + time +
                     " <= ?) OR (" + date + " > ? AND " + date + " < ?)))";
        sql.params.insert(sql.params.end(),
                          {s.beginDate, s.beginTime, s.endDate, s.endTime, s.beginDate, s.endDate});
    }
    return sql;
}

std::variant<int64_t, std::string> StoredForm(const FieldValue& value) {
    if (const auto* number = std::get_if<int64_t>(&value)) {
        return *number;
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* date = std::get_if<CalendarDate>(&value)) {
        return IsoText(*date);
    }
    return IsoText(std::get<TimeOfDay>(value));
}

}  // namespace miradel
