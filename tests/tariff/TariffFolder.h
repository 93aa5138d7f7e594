#pragma once
// A working folder with a small tariff set written by the test, and the texts to fill it.

#include <array>
#include <fstream>
#include <string>
#include <string_view>

#include "common/Clock.h"
#include "support/TempDir.h"
#include "tariff/Trftor.h"

namespace miradel::testing {

// Two lines of a tariff file: hour h costs ordinaryBase + h on ordinary days and
// preferentialBase + h on preferential ones.
inline std::string TariffRecord(int zone, int ordinaryBase, int preferentialBase) {
    std::string text;
    for (int line = 0; line < 2; ++line) {
        text += "T" + std::to_string(zone);
        for (int hour = 0; hour < kHours; ++hour) {
            text += " " + std::to_string((line == 0 ? ordinaryBase : preferentialBase) + hour);
        }
        text += "\n";
    }
    return text;
}

// year.dat with every mark `fill`.
inline std::string YearText(char fill = '0') {
    std::string text;
    for (int m = 0; m < kMonths; ++m) {
        text += std::string(kYearDays, fill) + "\n";
    }
    return text;
}

// year.dat with one day's mark set.
inline std::string YearTextWith(int month, int day, char mark, char fill = '0') {
    std::string text = YearText(fill);
    text[(month - 1) * (kYearDays + 1) + (day - 1)] = mark;
    return text;
}

class TariffFolder {
  public:
    TariffFolder() { Write("year.dat", YearText()); }

    void Write(const std::string& name, std::string_view text) const {
        std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
        out << text;
    }

    // prefix.dat, kz_N.dat and zt_N.dat in one go.
    void WriteSet(std::string_view prefixes, int n, std::string_view codes,
                  std::string_view tariffs) const {
        Write("prefix.dat", prefixes);
        Write("kz_" + std::to_string(n) + ".dat", codes);
        Write("zt_" + std::to_string(n) + ".dat", tariffs);
    }

    TariffLoad Load() const { return TRFTOR::Load(dir.path(), clock); }

    TempDir dir;
    VirtualClock clock{LocalDateTime{2024, 5, 14, 10, 30, 0, 0}};
};

}  // namespace miradel::testing
