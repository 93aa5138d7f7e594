#include "common/SafeFormat.h"

#include "common/Cp1251.h"

#include <fmt/format.h>

#include <locale.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <type_traits>

namespace miradel {

namespace {

static_assert(std::is_same_v<std::variant_alternative_t<0, FormatArg>, long long>);
static_assert(std::is_same_v<std::variant_alternative_t<1, FormatArg>, std::string>);
static_assert(std::is_same_v<std::variant_alternative_t<2, FormatArg>, double>);

constexpr int kMaxWidth = 255;

enum class PieceKind {
    kText,          // plain text up to the next '%'
    kPercent,       // %%
    kConversion,    // well-formed, fills one value
    kForbidden,     // %n, %p
    kUnknown,       // '%' not followed by a conversion letter
    kStar,          // width or precision taken from a value
    kTooWide,       // width or precision over kMaxWidth
    kUnterminated,  // the template ends inside the conversion
};

struct Piece {
    PieceKind kind = PieceKind::kText;
    std::string_view text;  // the template's own bytes
    bool minus = false;
    bool plus = false;
    bool space = false;
    bool hash = false;
    bool zero = false;
    int width = -1;  // -1 when not written
    int precision = -1;
    char letter = 0;
};

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The letter's value kind; false for letters that take no value we pass.
bool LetterKind(char letter, FormatArgKind& kind) {
    const std::string_view integers = "diuxXoc";
    const std::string_view reals = "fFeEgG";
    if (integers.find(letter) != std::string_view::npos) {
        kind = FormatArgKind::kInteger;
    } else if (letter == 's') {
        kind = FormatArgKind::kString;
    } else if (reals.find(letter) != std::string_view::npos) {
        kind = FormatArgKind::kReal;
    } else {
        return false;
    }
    return true;
}

// Digits of any length are read whole, but the value stops growing past the limit.
int ReadNumber(std::string_view tmpl, std::size_t& i) {
    int value = 0;
    while (i < tmpl.size() && IsDigit(tmpl[i])) {
        value = std::min(value * 10 + (tmpl[i] - '0'), kMaxWidth + 1);
        ++i;
    }
    return value;
}

Piece ReadPiece(std::string_view tmpl, std::size_t start) {
    Piece piece;
    if (tmpl[start] != '%') {
        const std::size_t end = tmpl.find('%', start);
        piece.text = tmpl.substr(start, end == std::string_view::npos ? end : end - start);
        return piece;
    }
    std::size_t i = start + 1;
    const auto finish = [&](PieceKind kind, std::size_t end) {
        piece.kind = kind;
        piece.text = tmpl.substr(start, end - start);
        return piece;
    };
    if (i < tmpl.size() && tmpl[i] == '%') {
        return finish(PieceKind::kPercent, i + 1);
    }
    for (; i < tmpl.size(); ++i) {
        const char c = tmpl[i];
        if (c == '-') {
            piece.minus = true;
        } else if (c == '+') {
            piece.plus = true;
        } else if (c == ' ') {
            piece.space = true;
        } else if (c == '#') {
            piece.hash = true;
        } else if (c == '0') {
            piece.zero = true;
        } else {
            break;
        }
    }
    bool star = false;
    if (i < tmpl.size() && tmpl[i] == '*') {
        star = true;
        ++i;
    } else if (i < tmpl.size() && IsDigit(tmpl[i])) {
        piece.width = ReadNumber(tmpl, i);
    }
    if (i < tmpl.size() && tmpl[i] == '.') {
        ++i;
        if (i < tmpl.size() && tmpl[i] == '*') {
            star = true;
            ++i;
        } else {
            piece.precision = ReadNumber(tmpl, i);  // "%.f" means precision 0, as in C
        }
    }
    for (const std::string_view length : {"hh", "h", "ll", "l", "z", "j", "t", "L"}) {
        if (tmpl.substr(i).starts_with(length)) {
            i += length.size();
            break;
        }
    }
    if (i >= tmpl.size()) {
        return finish(PieceKind::kUnterminated, tmpl.size());
    }
    piece.letter = tmpl[i];
    if (!IsAsciiLetter(piece.letter)) {
        // Not swallowed: the character may well start the next conversion ("%5%d").
        return finish(PieceKind::kUnknown, i);
    }
    FormatArgKind kind{};
    if (piece.letter == 'n' || piece.letter == 'p') {
        return finish(PieceKind::kForbidden, i + 1);
    }
    if (!LetterKind(piece.letter, kind)) {
        return finish(PieceKind::kUnknown, i + 1);
    }
    if (star) {
        return finish(PieceKind::kStar, i + 1);
    }
    if (piece.width > kMaxWidth || piece.precision > kMaxWidth) {
        return finish(PieceKind::kTooWide, i + 1);
    }
    return finish(PieceKind::kConversion, i + 1);
}

// Visits every piece of the template in order; the visitor returns false to stop.
template <typename Visitor>
void ForEachPiece(std::string_view tmpl, Visitor visit) {
    for (std::size_t pos = 0; pos < tmpl.size();) {
        const Piece piece = ReadPiece(tmpl, pos);
        if (!visit(piece, pos)) {
            return;
        }
        pos += piece.text.size();
    }
}

// snprintf honours LC_NUMERIC, and a GUI toolkit may have switched it to a locale with a
// decimal comma. Receipts and reports always use a point, so numbers print in the C locale.
class CLocaleScope {
  public:
    CLocaleScope() {
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
        if (cLocale != locale_t{}) {
            previous_ = uselocale(cLocale);
        }
    }
    ~CLocaleScope() {
        if (previous_ != locale_t{}) {
            uselocale(previous_);
        }
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

  private:
    locale_t previous_{};
};

// Rebuilds the conversion from what was parsed, keeping only the flags C defines for the
// letter, so snprintf never sees anything from the template it could misread.
std::string CConversion(const Piece& piece, bool allowSign, bool allowHash, std::string_view tail) {
    std::string conversion = "%";
    if (piece.minus) {
        conversion += '-';
    }
    if (allowSign && piece.plus) {
        conversion += '+';
    }
    if (allowSign && piece.space) {
        conversion += ' ';
    }
    if (allowHash && piece.hash) {
        conversion += '#';
    }
    if (piece.zero) {
        conversion += '0';
    }
    if (piece.width >= 0) {
        conversion += std::to_string(piece.width);
    }
    if (piece.precision >= 0) {
        conversion += '.';
        conversion += std::to_string(piece.precision);
    }
    conversion += tail;
    return conversion;
}

template <typename T>
std::string PrintC(const std::string& conversion, T value) {
    CLocaleScope cLocale;
    const int length = std::snprintf(nullptr, 0, conversion.c_str(), value);
    if (length <= 0) {
        return {};
    }
    std::string out(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(out.data(), out.size(), conversion.c_str(), value);
    out.resize(static_cast<std::size_t>(length));
    return out;
}

// Blank padding to the width, counted in characters.
std::string Pad(std::string body, const Piece& piece) {
    const std::size_t chars = Utf8Length(body);
    if (piece.width < 0 || chars >= static_cast<std::size_t>(piece.width)) {
        return body;
    }
    const std::string blanks(static_cast<std::size_t>(piece.width) - chars, ' ');
    return piece.minus ? body + blanks : blanks + body;
}

std::string FillInteger(const Piece& piece, long long value) {
    switch (piece.letter) {
        case 'd':
        case 'i':
            return PrintC(CConversion(piece, true, false, "lld"), value);
        case 'c':
            // The byte as the office's code page shows it, so the text stays valid UTF-8.
            return Pad(Cp1251ToUtf8(std::string(1, static_cast<char>(value & 0xFF))), piece);
        default: {
            // What a C program passing an int to %u or %x prints.
            const auto word = static_cast<unsigned int>(static_cast<uint32_t>(value));
            const bool hash = piece.letter != 'u';
            return PrintC(CConversion(piece, false, hash, std::string_view(&piece.letter, 1)),
                          word);
        }
    }
}

std::string FillString(const Piece& piece, std::string_view value) {
    if (piece.precision >= 0) {
        value = Utf8Prefix(value, static_cast<std::size_t>(piece.precision));
    }
    return Pad(std::string(value), piece);
}

std::string FillReal(const Piece& piece, double value) {
    return PrintC(CConversion(piece, true, true, std::string_view(&piece.letter, 1)), value);
}

std::string Fill(const Piece& piece, const FormatArg& arg) {
    switch (KindOf(arg)) {
        case FormatArgKind::kInteger:
            return FillInteger(piece, std::get<long long>(arg));
        case FormatArgKind::kString:
            return FillString(piece, std::get<std::string>(arg));
        case FormatArgKind::kReal:
            return FillReal(piece, std::get<double>(arg));
    }
    return {};
}

const char* KindName(FormatArgKind kind) {
    switch (kind) {
        case FormatArgKind::kInteger:
            return "an integer";
        case FormatArgKind::kString:
            return "a string";
        case FormatArgKind::kReal:
            return "a real number";
    }
    return "a value";
}

std::string Counted(std::size_t count, std::string_view noun) {
    return fmt::format("{} {}{}", count, noun, count == 1 ? "" : "s");
}

}  // namespace

std::string FormatTemplate(std::string_view tmpl, std::span<const FormatArg> args) {
    std::string out;
    out.reserve(tmpl.size());
    std::size_t next = 0;
    ForEachPiece(tmpl, [&](const Piece& piece, std::size_t) {
        if (piece.kind == PieceKind::kPercent) {
            out += '%';
        } else if (piece.kind != PieceKind::kConversion || next >= args.size()) {
            out += piece.text;
        } else {
            const FormatArg& arg = args[next++];
            FormatArgKind wanted{};
            LetterKind(piece.letter, wanted);
            out += KindOf(arg) == wanted ? Fill(piece, arg) : std::string(piece.text);
        }
        return true;
    });
    return out;
}

TemplateCheck CheckTemplate(std::string_view tmpl, std::span<const FormatArgKind> expected) {
    std::size_t conversions = 0;
    ForEachPiece(tmpl, [&](const Piece& piece, std::size_t) {
        conversions += piece.kind == PieceKind::kConversion ? 1 : 0;
        return true;
    });

    TemplateCheck check;
    std::size_t index = 0;
    ForEachPiece(tmpl, [&](const Piece& piece, std::size_t pos) {
        // Counted in characters, as the administrator's editor shows them.
        const auto at = [&] { return Utf8Length(tmpl.substr(0, pos)) + 1; };
        switch (piece.kind) {
            case PieceKind::kText:
            case PieceKind::kPercent:
                return true;
            case PieceKind::kConversion: {
                ++index;
                FormatArgKind wanted{};
                LetterKind(piece.letter, wanted);
                if (index > expected.size()) {
                    check.message = fmt::format("{} but {}", Counted(conversions, "conversion"),
                                                Counted(expected.size(), "value"));
                } else if (expected[index - 1] != wanted) {
                    check.message = fmt::format("conversion {} is \"{}\", but {} is given there",
                                                index, piece.text, KindName(expected[index - 1]));
                } else {
                    return true;
                }
                break;
            }
            case PieceKind::kForbidden:
                check.message = fmt::format("%{} is not allowed (\"{}\" at character {})",
                                            piece.letter, piece.text, at());
                break;
            case PieceKind::kUnknown:
                check.message = fmt::format(
                    "\"{}\" at character {} is not a conversion; write %% for a percent sign",
                    piece.text, at());
                break;
            case PieceKind::kStar:
                check.message = fmt::format(
                    "\"{}\" at character {} takes a width or precision from a value; write it as "
                    "digits",
                    piece.text, at());
                break;
            case PieceKind::kTooWide:
                check.message =
                    fmt::format("\"{}\" at character {} has a width or precision over {}",
                                piece.text, at(), kMaxWidth);
                break;
            case PieceKind::kUnterminated:
                check.message =
                    fmt::format("the template ends inside a conversion: \"{}\" at character {}",
                                piece.text, at());
                break;
        }
        check.ok = false;
        return false;
    });
    return check;
}

}  // namespace miradel
