#pragma once
// Readers of prefix.dat, the code files kz_N.dat and the tariff files zt_N.dat. Each takes the
// file's bytes and appends its entries to a list; a malformed line stops the reading with the
// load error of that file and a detail naming the file and the line.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tariff/TariffEntries.h"
#include "tariff/TariffError.h"

namespace miradel {

// Characters of a line, its line end included.
inline constexpr std::size_t kPrefixLineLimit = 63;
inline constexpr std::size_t kCodeLineLimit = 63;
inline constexpr std::size_t kTariffLineLimit = 511;

inline constexpr std::size_t kPrefixTextLimit = 15;
inline constexpr std::size_t kCodeTextLimit = 31;
inline constexpr std::size_t kCodeNameLimit = 31;

inline constexpr std::string_view kPrefixFileName = "prefix.dat";
std::string CodeFileName(int32_t zoneFile);    // "kz_7.dat"
std::string TariffFileName(int32_t zoneFile);  // "zt_7.dat"

// Blank lines are skipped. A line needs its four "-"-separated fields; more are ignored.
std::optional<TariffError> ReadPrefixTable(std::string_view bytes, EntryList<Prefx>& out);

// Blank lines are skipped. A line needs code, zone and name separated by spaces; the name
// ends at the next space or at the line end, which it does not keep.
std::optional<TariffError> ReadCodeFile(std::string_view fileName, std::string_view bytes,
                                        int32_t zoneFile, EntryList<KZona>& out);

// Blank lines are skipped; the other lines pair up into records. A last line without its
// partner is ignored, with a note for the administrator.
std::optional<TariffError> ReadTariffFile(std::string_view fileName, std::string_view bytes,
                                          EntryList<ZonaTarif>& out,
                                          std::vector<std::string>& notes);

}  // namespace miradel
