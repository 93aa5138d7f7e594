// miradel-tariff: prices one number with the tariff files of a working folder, showing each
// step of the analysis, so that an administrator can check a new table before the office opens.

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "PricingReport.h"
#include "common/Clock.h"
#include "tariff/Trftor.h"

namespace {

constexpr int kExitPriced = 0;
constexpr int kExitCannotLoad = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNotPriced = 3;

constexpr std::string_view kUsage =
    "usage: miradel-tariff --workdir DIR [--at \"YYYY-MM-DD HH:MM\"] NUMBER\n"
    "       miradel-tariff --help\n"
    "\n"
    "Loads prefix.dat, kz_N.dat, zt_N.dat and year.dat from DIR as the office does at start-up\n"
    "and prices NUMBER (digits 0-9) at the given moment, or now. Prints the prefix entry, the\n"
    "code entry and zone, the tariff record, the day type and the price per minute, or the step\n"
    "at which the number cannot be priced.\n"
    "Exit status: 0 priced, 1 the tariff files cannot be loaded, 2 bad usage, 3 not priced.\n";

int UsageError(std::string_view message) {
    std::cerr << "miradel-tariff: " << message << "\n" << kUsage;
    return kExitUsage;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<std::filesystem::path> workdir;
    std::optional<miradel::LocalDateTime> at;
    std::optional<std::string> number;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return kExitPriced;
        }
        if (arg == "--workdir" || arg == "--at") {
            if (i + 1 >= argc) {
                return UsageError(std::string(arg) + " takes one argument");
            }
            const std::string_view value = argv[++i];
            if (arg == "--workdir") {
                workdir = std::filesystem::path(value);
                continue;
            }
            miradel::LocalDateTime moment;
            if (!miradel::tariff_tool::ParseMoment(value, moment)) {
                return UsageError("--at wants \"YYYY-MM-DD HH:MM\", got \"" + std::string(value) +
                                  "\"");
            }
            at = moment;
            continue;
        }
        if (arg.starts_with("-")) {
            return UsageError("unknown option " + std::string(arg));
        }
        if (number) {
            return UsageError("one NUMBER only");
        }
        number = std::string(arg);
    }
    if (!workdir) {
        return UsageError("--workdir is needed");
    }
    if (!number || !AllDigits(*number)) {
        return UsageError("NUMBER must be the digits 0-9");
    }

    miradel::SystemClock systemClock;
    miradel::VirtualClock fixedClock(at.value_or(miradel::LocalDateTime{}));
    const miradel::Clock& clock = at ? static_cast<const miradel::Clock&>(fixedClock) : systemClock;

    const miradel::TariffLoad load = miradel::TRFTOR::Load(*workdir, clock);
    for (const std::string& note : load.notes) {
        std::cerr << "note: " << note << '\n';
    }
    if (!load.engine) {
        std::cerr << load.error->text << '\n' << load.error->detail << '\n';
        return kExitCannotLoad;
    }
    const miradel::tariff_tool::PricingReport report =
        miradel::tariff_tool::DescribePricing(*load.engine, clock, *number);
    std::cout << report.text;
    return report.priced ? kExitPriced : kExitNotPriced;
}
