#include "common/SafeFormat.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace miradel {
namespace {

using namespace std::string_literals;

struct FormatCase {
    const char* tmpl;
    std::vector<FormatArg> args;
    std::string expected;
};

void ExpectFormats(const std::vector<FormatCase>& cases) {
    for (const FormatCase& c : cases) {
        EXPECT_EQ(FormatTemplate(c.tmpl, c.args), c.expected) << c.tmpl;
    }
}

TEST(SafeFormat, FillsMatchingConversions) {
    ExpectFormats({
        {"%.1d.%.2d", {12, 5}, "12.05"},
        {"%u.%.2u", {3, 7}, "3.07"},
        {"%.2u : %.2u", {3, 7}, "03 : 07"},
        {"%d|%i", {-2147483647 - 1, 42}, "-2147483648|42"},
        {"%d", {4294967297LL}, "4294967297"},
        {"%u|%u|%x", {-1, 4294967297LL, -1}, "4294967295|1|ffffffff"},
        {"%x|%X|%o|%#x|%#o", {255, 255, 8, 255, 8}, "ff|FF|10|0xff|010"},
        {"%+d|% d|%05d|%-5d|%5d", {7, 7, -7, 7, -7}, "+7| 7|-0007|7    |   -7"},
        {"%c%c%c", {'=', 0xC0, 0x1B8}, "=Аё"},  // the low byte, read as Windows-1251
        {"%3c|%-3c|", {'x', 'y'}, "  x|y  |"},
        {"%s", {"Кассир"}, "Кассир"},
        {"%-10s|", {"Касса"}, "Касса     |"},
        {"%10s|", {"Касса"}, "     Касса|"},
        {"%.3s|%-6.2s|", {"Кассир", "中😀x"}, "Кас|中😀    |"},
        {"%010s", {"ab"}, "        ab"},  // strings are padded with blanks only
        {"%5.2f", {3.14159}, " 3.14"},
        {"%-8.3f|%+.0f|%#.0f", {2.5, 2.5, 3.0}, "2.500   |+2|3."},
        {"%e|%E|%g|%G", {12345.678, 0.5, 0.0001, 1e-5}, "1.234568e+04|5.000000E-01|0.0001|1E-05"},
        {"%F", {1.0}, "1.000000"},
        {"%hhd|%hd|%ld|%lld|%zu|%jd|%td|%Lf|%lf|%hs|%ls",
         {1, 2, 3, 4, 5, 6, 7, 1.5, 2.5, "a", "b"},
         "1|2|3|4|5|6|7|1.500000|2.500000|a|b"},
        {"100%% = %d%%", {5}, "100% = 5%"},
        {"%%d", {5}, "%d"},
        {"", {1}, ""},
        {"Итого", {}, "Итого"},
        {"%d", {1, "лишний", 2.0}, "1"},
    });
    EXPECT_EQ(FormatTemplate("%.1d.%.2d", {12, 5}), "12.05");
    EXPECT_EQ(FormatTemplate("a\0%d"s, {5}),
              "a\0"
              "5"s);
    EXPECT_EQ(FormatTemplate("%255d", {1}).size(), 255u);
    EXPECT_EQ(FormatTemplate("%.255f", {1.0}).size(), 257u);
}

TEST(SafeFormat, MismatchStaysTextButTakesItsValue) {
    // The value meant for the wrong conversion is used up, so later fields keep theirs.
    ExpectFormats({
        {"%s", {5}, "%s"},
        {"%d", {"x"}, "%d"},
        {"%d", {1.5}, "%d"},
        {"%-5.2f", {1}, "%-5.2f"},
        {"%c", {"x"}, "%c"},
        {"Кассир %s: %d руб.", {7, 100}, "Кассир %s: 100 руб."},
        {"%d %s %d", {"Иванов", "Петров", 3}, "%d Петров 3"},
    });
}

TEST(SafeFormat, WhatIsNotAConversionStaysTextAndTakesNothing) {
    ExpectFormats({
        {"%n%d", {5}, "%n5"},
        {"%5n%d", {5}, "%5n5"},
        {"%p%d", {5}, "%p5"},
        {"%*d %d", {5}, "%*d 5"},
        {"%.*f %d", {5}, "%.*f 5"},
        {"%999999d %d", {5}, "%999999d 5"},
        {"%256d %.256f %d", {5}, "%256d %.256f 5"},
        {"%99999999999999999999d", {5}, "%99999999999999999999d"},
        {"%q %a %S %d", {5}, "%q %a %S 5"},
        {"%'d %d", {5}, "%'d 5"},
        {"%5%d", {5}, "%55"},
        {"100% скидка %d", {5}, "100% скидка 5"},
        {"%d %d", {1}, "1 %d"},
        {"%s", {}, "%s"},
        {"итого %", {1}, "итого %"},
        {"%-05.", {1}, "%-05."},
        {"%ll", {1}, "%ll"},
    });
}

TEST(SafeFormat, NumbersUseAPointInAnyLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const char* commaLocale = nullptr;
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "de_DE.UTF-8", "de_DE.utf8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            commaLocale = name;
            break;
        }
    }
    if (commaLocale == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    const std::string text = FormatTemplate("%.2f", {12.5});
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(text, "12.50") << commaLocale;
}

TEST(SafeFormat, CheckTemplateExplainsTheFirstProblem) {
    constexpr FormatArgKind kInt = FormatArgKind::kInteger;
    constexpr FormatArgKind kStr = FormatArgKind::kString;
    constexpr FormatArgKind kReal = FormatArgKind::kReal;
    struct Case {
        const char* tmpl;
        std::vector<FormatArgKind> expected;
        const char* message;  // empty when the template is accepted
    } cases[] = {
        {"%.1d.%.2d", {kInt, kInt}, ""},
        {"Кассир %-10s сумма %8.2f", {kStr, kReal}, ""},
        {"%d", {kInt, kStr}, ""},  // leaving out later values is allowed
        {"100%%", {}, ""},
        {"", {}, ""},
        {"%d %s", {kInt, kInt}, "conversion 2 is \"%s\", but an integer is given there"},
        {"%-10d", {kStr}, "conversion 1 is \"%-10d\", but a string is given there"},
        {"%s", {kReal}, "conversion 1 is \"%s\", but a real number is given there"},
        {"%d %d %d", {kInt, kInt}, "3 conversions but 2 values"},
        {"%d", {}, "1 conversion but 0 values"},
        {"%n", {}, "%n is not allowed (\"%n\" at character 1)"},
        {"Сумма %5p", {kInt}, "%p is not allowed (\"%5p\" at character 7)"},
        {"%*d",
         {kInt, kInt},
         "\"%*d\" at character 1 takes a width or precision from a value; write it as digits"},
        {"%d%999999d",
         {kInt, kInt},
         "\"%999999d\" at character 3 has a width or precision over 255"},
        {"№ %q", {}, "\"%q\" at character 3 is not a conversion; write %% for a percent sign"},
        {"5% скидки", {}, "\"% \" at character 2 is not a conversion; write %% for a percent sign"},
        {"Итого %-5", {kInt}, "the template ends inside a conversion: \"%-5\" at character 7"},
        {"%q %n", {}, "\"%q\" at character 1 is not a conversion; write %% for a percent sign"},
    };
    for (const Case& c : cases) {
        const TemplateCheck check = CheckTemplate(c.tmpl, c.expected);
        EXPECT_EQ(check.ok, std::string(c.message).empty()) << c.tmpl;
        EXPECT_EQ(check.message, c.message) << c.tmpl;
    }
    EXPECT_TRUE(CheckTemplate("%u.%.2u", {kInt, kInt}).ok);
}

bool IsValidUtf8(const std::string& text) {
    iconv_t cd = iconv_open("UTF-32LE", "UTF-8");
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    std::string out(text.size() * 4 + 4, '\0');
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    return rc != static_cast<std::size_t>(-1);
}

TEST(SafeFormat, RandomTemplatesStayBounded) {
    const std::vector<std::string> pieces = {
        "%", "%", "%", "%%", "-", "+",  " ", "#", "0", "1", "9", "25", "255",   "256", "99999",
        "*", ".", "h", "hh", "l", "ll", "L", "z", "d", "i", "u", "x",  "X",     "o",   "c",
        "s", "f", "F", "e",  "E", "g",  "G", "n", "p", "q", "a", "Ж",  "касса", "\n"};
    const std::vector<FormatArg> values = {
        0,
        -1,
        std::numeric_limits<long long>::min(),
        std::numeric_limits<long long>::max(),
        0x98,
        0.0,
        -0.0,
        1e308,
        -1e308,
        5e-324,
        std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(),
        "",
        "Касса",
        "中😀",
        std::string(300, 'w'),
    };
    constexpr std::size_t kLongestValue = 300;
    constexpr std::size_t kLongestNumber = 1 + 309 + 1 + 255;  // "%.255f" of -1e308

    std::mt19937 random(20090305);
    for (int round = 0; round < 10000; ++round) {
        std::string tmpl;
        const int length = std::uniform_int_distribution<int>(0, 16)(random);
        for (int i = 0; i < length; ++i) {
            tmpl +=
                pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
        }
        std::vector<FormatArg> args;
        std::vector<FormatArgKind> kinds;
        const int count = std::uniform_int_distribution<int>(0, 5)(random);
        for (int i = 0; i < count; ++i) {
            args.push_back(
                values[std::uniform_int_distribution<std::size_t>(0, values.size() - 1)(random)]);
            kinds.push_back(KindOf(args.back()));
        }

        const std::string out = FormatTemplate(tmpl, args);
        const std::size_t percents =
            static_cast<std::size_t>(std::count(tmpl.begin(), tmpl.end(), '%'));
        EXPECT_LE(out.size(), tmpl.size() + percents * (255 + kLongestValue + kLongestNumber))
            << tmpl;
        EXPECT_TRUE(IsValidUtf8(out)) << tmpl;

        const TemplateCheck check = CheckTemplate(tmpl, kinds);
        EXPECT_EQ(check.ok, check.message.empty()) << tmpl;
    }
}

}  // namespace
}  // namespace miradel
