#pragma once
// Fills the printf-style templates an administrator edits by hand in the office's text files
// (incass.cfg, ravans.cfg, repstr.cfg ...). The program knows the type of every value it
// passes, so a template can never make it read memory the way a bad printf format would.
//
// A conversion is %[flags - + space # 0][width][.precision][length hh h l ll z j t L][letter].
// Integers fill d i u x X o c, strings fill s, reals fill f F e E g G; %% is a percent sign.
// Width and precision are at most 255 and written as digits. Length modifiers are accepted
// and change nothing: the files come from a 32-bit program where int and long were the same.
//
// Whatever cannot be filled is copied out as the template's own text:
//  - a well-formed conversion whose letter does not suit the next value takes that value
//    anyway, so every later conversion still meets the value meant for it;
//  - %n, %p, unknown letters, '*', widths or precisions over 255 and a '%' cut off by the
//    end of the template are not conversions at all and take no value;
//  - a conversion with no value left stays as text. Values left over are ignored.

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace miradel {

// In the same order as FormatArg's alternatives.
enum class FormatArgKind { kInteger = 0, kString = 1, kReal = 2 };

// Strings are UTF-8. Pass an int or long long for integers, a double for reals.
using FormatArg = std::variant<long long, std::string, double>;

inline FormatArgKind KindOf(const FormatArg& arg) {
    return static_cast<FormatArgKind>(arg.index());
}

// d and i print the value as it is; u, x, X and o print its low 32 bits as an unsigned int;
// c prints the low byte as a Windows-1251 character. For s, width and precision count
// characters, not bytes, so Cyrillic columns line up; padding is always blanks. Numbers are
// printed with a '.' whatever the process locale is.
std::string FormatTemplate(std::string_view tmpl, std::span<const FormatArg> args);

inline std::string FormatTemplate(std::string_view tmpl, std::initializer_list<FormatArg> args) {
    return FormatTemplate(tmpl, std::span<const FormatArg>(args.begin(), args.size()));
}

struct TemplateCheck {
    bool ok = true;
    std::string message;  // English, for the log and the administrator; empty when ok
};

// What a loader asks before accepting a template for the given values: anything
// FormatTemplate would have to copy out as text is refused with the first such problem.
// A template may use fewer values than offered (the later ones are simply left out).
TemplateCheck CheckTemplate(std::string_view tmpl, std::span<const FormatArgKind> expected);

inline TemplateCheck CheckTemplate(std::string_view tmpl,
                                   std::initializer_list<FormatArgKind> expected) {
    return CheckTemplate(tmpl, std::span<const FormatArgKind>(expected.begin(), expected.size()));
}

}  // namespace miradel
