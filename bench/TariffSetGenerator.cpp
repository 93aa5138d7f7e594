#include "TariffSetGenerator.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <set>

namespace miradel::bench {

namespace {

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

// Unique digit texts in the order the files list them: a text before any shorter text that
// begins it, so the more specific entry comes first.
std::vector<std::string> SpecificFirst(std::set<std::string> texts) {
    std::vector<std::string> ordered(texts.begin(), texts.end());
    std::sort(ordered.begin(), ordered.end(), [](const std::string& a, const std::string& b) {
        return a + '~' < b + '~';  // '~' sorts after every digit: "8495" before "849"
    });
    return ordered;
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

struct PrefixEntry {
    std::string text;
    int zoneFile;
};

}  // namespace

std::vector<std::string> WriteTariffSet(const std::filesystem::path& folder,
                                        const TariffSetShape& shape, std::size_t samples) {
    std::mt19937 rng(shape.seed);

    // Prefixes: long-distance "8" + area code, international "810" + country code.
    std::set<std::string> prefixTexts;
    while (static_cast<int>(prefixTexts.size()) < shape.prefixLines) {
        prefixTexts.insert(Pick(rng, 0, 3) == 0 ? "810" + Digits(rng, Pick(rng, 1, 3))
                                                : "8" + Digits(rng, Pick(rng, 2, 4)));
    }
    std::vector<PrefixEntry> prefixes;
    std::string prefixFile;
    for (const std::string& text : SpecificFirst(prefixTexts)) {
        const int n = static_cast<int>(prefixes.size()) % shape.codeFiles;
        prefixes.push_back({text, n});
        prefixFile += text + "-" + std::to_string(n) + "-11-" +
                      std::to_string(std::min<std::size_t>(text.size() + 3, 11)) + "\n";
    }
    WriteFile(folder / "prefix.dat", prefixFile);

    // Codes: local exchange codes after the prefix; zones a little beyond those the tariff
    // file prices, so that some numbers find no record.
    std::vector<std::vector<std::string>> codes(shape.codeFiles);
    for (int n = 0; n < shape.codeFiles; ++n) {
        const bool catchAll = n % 2 == 0;
        std::set<std::string> texts;
        while (static_cast<int>(texts.size()) < shape.codesPerFile - (catchAll ? 1 : 0)) {
            texts.insert(Digits(rng, Pick(rng, 1, 5)));
        }
        std::string file;
        for (const std::string& code : SpecificFirst(texts)) {
            const int zone = Pick(rng, 0, shape.zonesPerFile + shape.zonesPerFile / 20);
            file += code + " " + std::to_string(zone) + " Zone" + std::to_string(zone) + "\n";
            codes[n].push_back(code);
        }
        if (catchAll) {
            file += "* " + std::to_string(Pick(rng, 0, shape.zonesPerFile - 1)) + " Other\n";
        }
        WriteFile(folder / ("kz_" + std::to_string(n) + ".dat"), file);
    }

    // Tariffs: every zone once, in a shuffled order; night, day and evening prices.
    for (int n = 0; n < shape.codeFiles; ++n) {
        std::vector<int> zones(shape.zonesPerFile);
        for (int z = 0; z < shape.zonesPerFile; ++z) {
            zones[z] = z;
        }
        std::shuffle(zones.begin(), zones.end(), rng);
        std::string file;
        for (int zone : zones) {
            const int day = Pick(rng, 3, 60) * 50;
            for (int line = 0; line < 2; ++line) {
                file += (line == 0 ? "O" : "L") + std::to_string(zone);
                for (int hour = 0; hour < 24; ++hour) {
                    const int price = line == 1   ? day * 7 / 10
                                      : hour < 8  ? day / 2
                                      : hour < 20 ? day
                                                  : day * 8 / 10;
                    file += " " + std::to_string(price);
                }
                file += "\n";
            }
        }
        WriteFile(folder / ("zt_" + std::to_string(n) + ".dat"), file);
    }

    std::string year;
    for (int m = 0; m < 12; ++m) {
        for (int d = 0; d < 31; ++d) {
            year += Pick(rng, 0, 9) == 0 ? '1' : '0';
        }
        year += "\n";
    }
    WriteFile(folder / "year.dat", year);

    // Numbers: a prefix, one of its codes (or random digits), filler to 11 digits.
    std::vector<std::string> numbers;
    while (numbers.size() < samples) {
        std::string number;
        const int kind = Pick(rng, 0, 19);
        if (kind == 0) {
            number = "7" + Digits(rng, 10);  // no prefix starts with 7
        } else {
            const PrefixEntry& prefix =
                prefixes[Pick(rng, 0, static_cast<int>(prefixes.size()) - 1)];
            const std::vector<std::string>& list = codes[prefix.zoneFile];
            number =
                prefix.text + (kind == 1 ? Digits(rng, 5)
                                         : list[Pick(rng, 0, static_cast<int>(list.size()) - 1)]);
        }
        if (number.size() < 11) {
            number += Digits(rng, static_cast<int>(11 - number.size()));
        }
        numbers.push_back(number);
    }
    return numbers;
}

}  // namespace miradel::bench
