#pragma once
// The code tables: code file kz_N.dat for every zone-file number N the prefix table names.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "tariff/FirstMatchIndex.h"
#include "tariff/Prefix.h"
#include "tariff/TariffEntries.h"

namespace miradel {

class KodZona : public Prefix {
  public:
    // The prefix entry of the number, then the first entry of its code file, in file order,
    // whose code begins with '*' or equals the digits after the prefix for the code's length.
    // None when either is missing. Allocates nothing.
    const KZona* FindCode(std::string_view digits) const;

    // Code list N in file order; an empty list for N outside 0..99.
    const EntryList<KZona>& Codes(int32_t zoneFile) const;

  protected:
    // Loads the prefix table, then each code file it names, once per zone-file number.
    explicit KodZona(const std::filesystem::path& folder);
    ~KodZona() = default;

  private:
    std::array<EntryList<KZona>, kZoneFiles> codes_;
    std::array<FirstMatchIndex, kZoneFiles> codeIndex_;
};

}  // namespace miradel
