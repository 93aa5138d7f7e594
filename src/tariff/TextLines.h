#pragma once
// Lines and fields of the tariff text files, cut the way the office's programs read them: a
// line ends at LF, and CR LF counts as one line end, as text mode reads it.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace miradel {

struct TextLine {
    std::string_view text;    // without its line end
    std::string_view raw;     // with its line end as in the file ("\n", "\r\n" or none)
    int32_t number = 0;       // 1 for the first line
    bool hasLineEnd = false;  // false only for a last line the file ends in

    // Characters as text mode counts them, the line end being one.
    std::size_t LengthWithLineEnd() const { return text.size() + (hasLineEnd ? 1 : 0); }
};

std::vector<TextLine> SplitLines(std::string_view bytes);

// Empty, or only spaces and tabs.
bool IsBlankLine(std::string_view text);

// Fields separated by runs of one separator character; separators at either end give no
// empty field.
class FieldReader {
  public:
    FieldReader(std::string_view text, char separator) : rest_(text), separator_(separator) {}

    // The next field, or false when none is left.
    bool Next(std::string_view& field);

  private:
    std::string_view rest_;
    char separator_;
};

}  // namespace miradel
