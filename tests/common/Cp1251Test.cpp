#include "common/Cp1251.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace miradel {
namespace {

using namespace std::string_literals;

TEST(Cp1251, CyrillicRoundTrip) {
    // Windows-1251 puts А..я at 0xC0..0xFF, with Ё, ё and № outside that run.
    std::string utf8 = "ЁёАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя№";
    std::string cp1251 = "\xA8\xB8";
    for (int byte = 0xC0; byte <= 0xFF; ++byte) {
        cp1251 += static_cast<char>(byte);
    }
    cp1251 += '\xB9';

    const Cp1251Encoded encoded = Utf8ToCp1251Checked(utf8);
    EXPECT_TRUE(encoded.lossless);
    EXPECT_EQ(encoded.bytes, cp1251);
    EXPECT_EQ(Cp1251ToUtf8(cp1251), utf8);
    EXPECT_EQ(Utf8Length(utf8), cp1251.size());
}

TEST(Cp1251, EveryDefinedByteSurvivesARoundTrip) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const std::string utf8 = Cp1251ToUtf8(one);
        if (byte == 0x98) {
            EXPECT_EQ(utf8, "?");  // the code page's only hole
            continue;
        }
        const Cp1251Encoded back = Utf8ToCp1251Checked(utf8);
        EXPECT_TRUE(back.lossless) << byte;
        EXPECT_EQ(back.bytes, one) << byte;
        EXPECT_EQ(Utf8Length(utf8), 1u) << byte;
    }
}

TEST(Cp1251, Decoding) {
    struct Case {
        std::string cp1251;
        std::string utf8;
    } cases[] = {
        {"", ""},          {"\x88", "€"},      {"\xB9 5", "№ 5"},
        {"a\x98z", "a?z"}, {"\x98\x98", "??"}, {"\0\xC0\0"s, "\0А\0"s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp1251ToUtf8(c.cp1251), c.utf8);
    }
}

TEST(Cp1251, EncodingReplacesWhatCannotBeWritten) {
    struct Case {
        std::string utf8;
        std::string cp1251;
        bool lossless;
    } cases[] = {
        {"", "", true},
        {"€", "\x88", true},
        {"a\0б"s, "a\0\xE1"s, true},
        {"中", "?", false},
        {"a中😀b", "a??b", false},
        {"\xFF", "?", false},  // never part of UTF-8
        {"\xBF"
         "A",
         "?A", false},              // stray continuation byte
        {"\xE2\x82", "??", false},  // cut off at the end
        {"\xE2\x82"
         "A",
         "??A", false},                       // cut off inside
        {"\xC0\x80", "??", false},            // overlong NUL
        {"\xED\xA0\x80", "???", false},       // surrogate
        {"\xF4\x90\x80\x80", "????", false},  // beyond U+10FFFF
    };
    for (const Case& c : cases) {
        const Cp1251Encoded encoded = Utf8ToCp1251Checked(c.utf8);
        EXPECT_EQ(encoded.bytes, c.cp1251) << c.utf8;
        EXPECT_EQ(encoded.lossless, c.lossless) << c.utf8;
        EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251) << c.utf8;
        // One byte per character: column widths measured before encoding hold after it.
        EXPECT_EQ(Utf8Length(c.utf8), c.cp1251.size()) << c.utf8;
    }
}

TEST(Cp1251, PrefixNeverSplitsACharacter) {
    struct Case {
        std::string utf8;
        std::size_t maxChars;
        std::string prefix;
    } cases[] = {
        {"", 3, ""},
        {"Касса", 0, ""},
        {"Касса", 2, "Ка"},
        {"Касса", 9, "Касса"},
        {"中😀x", 2, "中😀"},
        {"\xFF\xE2\x82"
         "a",
         2, "\xFF\xE2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8Prefix(c.utf8, c.maxChars), c.prefix) << c.utf8 << " " << c.maxChars;
    }
}

TEST(Cp1251, ThreadsConvertIndependently) {
    const std::string utf8 = "Касса №3: 12.05 € 中";
    const std::string cp1251 = Utf8ToCp1251(utf8);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                // Alternate with a refused sequence so a shared converter's state would show.
                const std::string input = (i + t) % 2 == 0 ? utf8 : "\xE2\x82";
                const std::string expected = (i + t) % 2 == 0 ? cp1251 : "??";
                if (Utf8ToCp1251(input) != expected) {
                    ++failures;
                }
                if (Cp1251ToUtf8("\xCA\xE0\xF1\xF1\xE0\x98") != "Касса?") {
                    ++failures;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
}

}  // namespace
}  // namespace miradel
