#pragma once
// Typed selections over a table: what the office's windows select (a date-and-time span, a
// date range, a receipt range, an operator, a booth, a flag, a section, a number) as
// conditions with values bound as parameters. Text typed by an operator is read into a number
// or a date before anything is selected; it never becomes SQL. Text that is not a number or a
// date is a BadValueError for the caller, never an empty or a wrong selection.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "store/DateValue.h"
#include "store/TableCatalogue.h"

namespace miradel {

using FieldValue = std::variant<int64_t, std::string, CalendarDate, TimeOfDay>;

// A span of days and times as the report windows take it: the begin and end dates, the begin
// time with its seconds 00 and the end time with its seconds 59, so "10:00" to "10:00"
// covers 10:00:00 .. 10:00:59.
struct DateTimeSpan {
    CalendarDate beginDate;
    TimeOfDay beginTime;
    CalendarDate endDate;
    TimeOfDay endTime;
};

// Reads the four texts of a report window ("05.03.2009", "10:00" ...). Throws BadValueError
// naming the text that is not a date or a time of hours and minutes.
DateTimeSpan ParseDateTimeSpan(std::string_view beginDate, std::string_view beginTime,
                               std::string_view endDate, std::string_view endTime);

// Operator input read as a number or a date; BadValueError when it is not one.
int64_t ParseNumberText(std::string_view typed);
CalendarDate ParseDateText(std::string_view typed);

enum class Compare { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };

class Selection {
  public:
    // All conditions hold together (AND).
    Selection& Where(std::string_view field, Compare compare, FieldValue value);
    Selection& Between(std::string_view field, FieldValue from, FieldValue to);  // inclusive

    // The report windows' date-and-time rule. Same begin and end day: that day from the begin
    // time to the end time. Different days: the begin day from its time, the end day up to its
    // time and every day strictly between.
    Selection& InSpan(const DateTimeSpan& span, std::string_view dateField = "_DATE",
                      std::string_view timeField = "_TIME");

    // Convenience forms of the windows, each reading operator text (BadValueError).
    static Selection ReceiptRange(std::string_view field, std::string_view fromTyped,
                                  std::string_view toTyped);
    static Selection DateRange(std::string_view fromTyped, std::string_view toTyped,
                               std::string_view field = "_DATE");

    bool Empty() const { return conditions_.empty(); }

    struct Sql {
        std::string where;  // "" when there is no condition; otherwise with '?' placeholders
        std::vector<FieldValue> params;
    };
    // Checks every field against the table and every value against its field's type
    // (StoreError for an unknown field, BadValueError for a value of the wrong kind).
    Sql ToSql(const TableDef& table) const;

  private:
    struct Condition {
        std::string field;
        Compare compare;
        FieldValue value;
    };
    struct Span {
        std::string dateField;
        std::string timeField;
        DateTimeSpan span;
    };
    std::vector<std::variant<Condition, Span>> conditions_;
};

// The bound form of a value in the database: numbers as integers, text as text, dates and
// times as ISO text.
std::variant<int64_t, std::string> StoredForm(const FieldValue& value);

}  // namespace miradel
