// Damaged tariff files and year.dat of every size and content must be refused or loaded
// without crashing or reading out of bounds; the sanitizer build runs this too.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "TariffFolder.h"
#include "tariff/Calendar.h"

namespace miradel {
namespace {

using testing::TariffFolder;

class IdleBooths final : public BoothStateSource {
  public:
    int StateOf(int) const override { return 1; }
};

int Pick(std::mt19937& rng, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(rng);
}

std::string Digits(std::mt19937& rng, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += static_cast<char>('0' + Pick(rng, 0, 9));
    }
    return text;
}

// A sound set over zone-file numbers 0..3, as file name -> content.
std::map<std::string, std::string> SoundSet(std::mt19937& rng) {
    std::map<std::string, std::string> files;
    std::string& prefixes = files["prefix.dat"];
    for (int i = Pick(rng, 1, 8); i > 0; --i) {
        prefixes += (Pick(rng, 0, 5) == 0 ? "*" : "") + Digits(rng, Pick(rng, 1, 3)) + "-" +
                    std::to_string(Pick(rng, 0, 3)) + "-11-" + std::to_string(Pick(rng, 0, 12)) +
                    "\n";
    }
    for (int n = 0; n < 4; ++n) {
        std::string& codes = files["kz_" + std::to_string(n) + ".dat"];
        for (int i = Pick(rng, 0, 8); i > 0; --i) {
            codes += (Pick(rng, 0, 6) == 0 ? "*" : Digits(rng, Pick(rng, 1, 4))) + " " +
                     std::to_string(Pick(rng, 0, 5)) + " Name\n";
        }
        std::string& tariffs = files["zt_" + std::to_string(n) + ".dat"];
        for (int i = Pick(rng, 0, 5); i > 0; --i) {
            tariffs += testing::TariffRecord(Pick(rng, 0, 5), Pick(rng, 0, 9), Pick(rng, 0, 9));
        }
    }
    files["year.dat"] = testing::YearText('0');
    return files;
}

// Raw bytes, or a few bytes of the text replaced, inserted or cut out.
void Damage(std::mt19937& rng, std::string& text) {
    static constexpr char kCharList[] = "0123456789-- **\r\t\n\n\0T+x\xC0\xFF";
    static const std::string kChars(kCharList, sizeof kCharList - 1);  // the NUL included
    if (Pick(rng, 0, 4) == 0) {
        text.clear();
        for (int i = Pick(rng, 0, 700); i > 0; --i) {
            text += static_cast<char>(rng());
        }
        return;
    }
    for (int i = Pick(rng, 1, 4); i > 0; --i) {
        const char c = kChars[Pick(rng, 0, static_cast<int>(kChars.size()) - 1)];
        const auto at = static_cast<std::size_t>(Pick(rng, 0, static_cast<int>(text.size())));
        switch (Pick(rng, 0, 3)) {
            case 0:
                text.insert(at, 1, c);
                break;
            case 1:
                text.insert(at, std::string(Pick(rng, 1, 600), c));
                break;
            default:
                if (at < text.size()) {
                    text.erase(at, Pick(rng, 1, 40));
                }
                break;
        }
    }
}

TEST(TariffRandomFiles, LoadWithoutHarm) {
    std::mt19937 rng(20240514);
    int loaded = 0;
    constexpr int kRounds = 200;
    for (int round = 0; round < kRounds; ++round) {
        TariffFolder folder;
        std::map<std::string, std::string> files = SoundSet(rng);
        for (auto& [name, content] : files) {
            if (Pick(rng, 0, 5) == 0) {
                Damage(rng, content);
            }
            folder.Write(name, content);
        }
        const TariffLoad load = folder.Load();
        if (!load.engine) {
            ASSERT_TRUE(load.error);
            EXPECT_FALSE(load.error->text.empty());
            continue;
        }
        ++loaded;
        const TRFTOR& engine = *load.engine;
        for (int q = 0; q < 50; ++q) {
            const std::string digits = Digits(rng, Pick(rng, 0, 20));
            engine.FindPrefix(digits);
            engine.TariffNow(digits);
            engine.TariffAtHour(digits, Pick(rng, -1, 24));
            engine.DayMark();
        }
        IdleBooths booths;
        CalendarOpen open = Calendar::Open(folder.dir.path(), *load.engine, booths, folder.clock);
        if (open.calendar) {
            open.calendar->DoubleClick(Pick(rng, 0, 13), Pick(rng, 0, 32));
        }
    }
    // Enough damaged sets must load that the lookups above ran on them.
    EXPECT_GT(loaded, kRounds / 10);
}

}  // namespace
}  // namespace miradel
