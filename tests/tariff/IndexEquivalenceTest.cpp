// The indexed lookups must answer exactly as the plain walks of the lists in file order, on
// tables full of the cases where the two could part: overlapping and repeated texts, '*'
// entries anywhere, texts with other characters, repeated and missing zones.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TariffFolder.h"
#include "tariff/FirstMatchIndex.h"
#include "tariff/LinearLookup.h"

namespace miradel {
namespace {

using testing::TariffFolder;

int Pick(std::mt19937& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

// Mostly short texts over few digits, so that they overlap often.
std::string TableText(std::mt19937& rng, int maxLength) {
    const int kind = Pick(rng, 0, 39);
    std::string text;
    if (kind == 0) {
        text = "*";
    } else if (kind == 1) {
        text = "*" + std::to_string(Pick(rng, 0, 99));
    } else if (kind == 2) {
        text = std::to_string(Pick(rng, 0, 9)) + "a";
    }
    const int length = Pick(rng, 1, maxLength);
    while (static_cast<int>(text.size()) < length) {
        text += static_cast<char>('0' + Pick(rng, 0, 3));
    }
    return text;
}

std::string Subject(std::mt19937& rng) {
    std::string digits;
    const bool wide = Pick(rng, 0, 9) == 0;
    for (int i = Pick(rng, 0, 12); i > 0; --i) {
        digits += static_cast<char>('0' + Pick(rng, 0, wide ? 9 : 3));
    }
    if (Pick(rng, 0, 49) == 0 && !digits.empty()) {
        digits[Pick(rng, 0, static_cast<int>(digits.size()) - 1)] = 'a';
    }
    return digits;
}

constexpr int kFiles = 6;

void WriteRandomSet(const TariffFolder& folder, std::mt19937& rng) {
    std::string prefixes;
    for (int i = Pick(rng, 1, 60); i > 0; --i) {
        prefixes += TableText(rng, 4) + "-" + std::to_string(Pick(rng, 0, kFiles - 1)) + "-" +
                    std::to_string(Pick(rng, 5, 12)) + "-" + std::to_string(Pick(rng, 3, 8)) + "\n";
    }
    folder.Write("prefix.dat", prefixes);
    for (int n = 0; n < kFiles; ++n) {
        std::string codes;
        for (int i = Pick(rng, 0, 80); i > 0; --i) {
            codes += TableText(rng, 5) + " " + std::to_string(Pick(rng, 0, 10)) + " Z\n";
        }
        folder.Write("kz_" + std::to_string(n) + ".dat", codes);
        std::string tariffs;
        for (int i = Pick(rng, 0, 20); i > 0; --i) {
            const std::string zone = "T" + std::to_string(Pick(rng, 0, 9));
            for (int line = 0; line < 2; ++line) {
                tariffs += zone;
                for (int hour = 0; hour < kHours; ++hour) {
                    tariffs += " " + std::to_string(Pick(rng, 0, 3) * 100);
                }
                tariffs += "\n";
            }
        }
        folder.Write("zt_" + std::to_string(n) + ".dat", tariffs);
    }
    std::string year;
    for (int m = 0; m < kMonths; ++m) {
        for (std::size_t d = 0; d < kYearDays; ++d) {
            year += "0012"[Pick(rng, 0, 3)];
        }
        year += "\n";
    }
    folder.Write("year.dat", year);
}

TEST(TariffIndex, AnswersAsTheWalkInFileOrder) {
    std::mt19937 rng(19570412);
    int priced = 0;
    int asked = 0;
    for (int round = 0; round < 25; ++round) {
        TariffFolder folder;
        WriteRandomSet(folder, rng);
        const TariffLoad load = folder.Load();
        ASSERT_TRUE(load.engine) << load.error->detail;
        const TRFTOR& engine = *load.engine;
        for (int n = -1; n <= kFiles; ++n) {
            for (int zone = -1; zone <= 16; ++zone) {
                ASSERT_EQ(engine.FindTariff(n, zone), LinearFindTariff(engine, n, zone));
            }
        }
        for (int q = 0; q < 1500; ++q) {
            const std::string digits = Subject(rng);
            folder.clock.Set({2024, Pick(rng, 1, 12), Pick(rng, 1, 28), Pick(rng, 0, 23), 0, 0, 0});
            ASSERT_EQ(engine.FindPrefix(digits), LinearFindPrefix(engine, digits)) << digits;
            ASSERT_EQ(engine.FindCode(digits), LinearFindCode(engine, digits)) << digits;
            const int32_t now = engine.TariffNow(digits);
            ASSERT_EQ(now, LinearTariffNow(engine, folder.clock, digits)) << digits;
            const int hour = Pick(rng, -2, 25);
            ASSERT_EQ(engine.TariffAtHour(digits, hour),
                      LinearTariffAtHour(engine, folder.clock, digits, hour))
                << digits << " at " << hour;
            priced += now >= 0 ? 1 : 0;
            ++asked;
        }
    }
    // The tables must be rich enough that many numbers get a price and many do not.
    EXPECT_GT(priced, asked / 5) << priced << " of " << asked;
    EXPECT_LT(priced, asked * 4 / 5);
}

TEST(TariffIndex, FirstMatchOfAnyTextsAndSubjects) {
    std::mt19937 rng(4242);
    const std::string alphabet = "0123*a9";
    auto anyText = [&](int maxLength) {
        std::string text;
        for (int i = Pick(rng, 0, maxLength); i > 0; --i) {
            text += alphabet[Pick(rng, 0, static_cast<int>(alphabet.size()) - 1)];
        }
        return text;
    };
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> texts;
        FirstMatchIndex index;
        for (int i = Pick(rng, 0, 40); i > 0; --i) {
            texts.push_back(anyText(4));
            index.Add(texts.back());
        }
        for (int q = 0; q < 100; ++q) {
            const std::string subject = anyText(6);
            int32_t expected = FirstMatchIndex::kNone;
            for (std::size_t i = 0; i < texts.size(); ++i) {
                if (LeadingTextMatches(texts[i], subject)) {
                    expected = static_cast<int32_t>(i);
                    break;
                }
            }
            ASSERT_EQ(index.Find(subject), expected) << '"' << subject << '"';
        }
    }
}

}  // namespace
}  // namespace miradel
