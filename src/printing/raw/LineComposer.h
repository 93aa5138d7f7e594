#pragma once
// How a printed line is made from a fixed receipt text: values are written over the text,
// character over character, from their columns, and the receipt may be printed twice side by
// side. Texts are UTF-8; columns count characters, as the single-byte printer sees them.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/config/AppConfig.h"

namespace miradel {

struct ValueAt {
    std::size_t column;  // counted from 0
    std::string value;
};

// The text with each value written over it, in the order given. A text shorter than a column
// is first filled with blanks up to it; the characters after a value stay; the line is as
// long as the longer of the text and the end of the last value.
std::string ComposeLine(std::string_view text, const std::vector<ValueAt>& values = {});

// The receipt settings of app.cfg.
struct ReceiptLayout {
    bool twoColumns = false;    // "Колонки": 1 "2 колонки"
    int distance = 0;           // "Дистанция": blanks between the two columns
    int feedLines = 0;          // "Протяжка": empty lines fed after a receipt
    bool laserPrinter = false;  // "Лазерный принтер": the job ends with a form feed

    static ReceiptLayout From(const AppConfigData& config);
};

// app.cfg holds these as plain integers; a value no printer could mean (a slip in the setup
// window, a damaged file) is bounded so that it cannot flood the printer or the memory.
inline constexpr int kMaxColumnDistance = 255;
inline constexpr int kMaxFeedLines = 255;

// The composed text as printed: itself, or with two columns the text, "Дистанция" blanks and
// the text again. A negative distance counts as none.
std::string LayoutLine(const std::string& composed, const ReceiptLayout& layout);

// One paper feed line: a carriage return and a line feed, written as a line of its own.
inline constexpr std::string_view kFeedLine = "\r\n";

// Appends the layout's "Протяжка" feed lines (none when it is 0 or less).
void AppendFeedLines(std::vector<std::string>& lines, const ReceiptLayout& layout);

}  // namespace miradel
