#pragma once
// Writes a large tariff set shaped like a busy office's: many prefix entries listed from the
// specific to the general, code files of city codes with a catch-all line at the end of some,
// tariff files with day and night prices, and a year with a few preferential days.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace miradel::bench {

struct TariffSetShape {
    int prefixLines = 2000;
    int codeFiles = 100;  // zone-file numbers 0..codeFiles-1
    int codesPerFile = 1000;
    int zonesPerFile = 200;
    uint32_t seed = 1957;
};

// Writes prefix.dat, kz_N.dat, zt_N.dat and year.dat into the folder and returns `samples`
// numbers spread over the set: most of them priced, a few with an unknown code or no prefix.
std::vector<std::string> WriteTariffSet(const std::filesystem::path& folder,
                                        const TariffSetShape& shape, std::size_t samples);

}  // namespace miradel::bench
