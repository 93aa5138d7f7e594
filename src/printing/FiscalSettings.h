#pragma once
// fiscal.cfg in the working folder: which driver plug-in serves each register model.
//
//   # comment
//   m130f = /usr/local/lib/miradel/miradel-emu-m130f.so
//   m130f.options = text handed to the driver
//   m114f = lib/miradel-emu-m114f.so        (relative to the working folder)

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace miradel {

inline constexpr const char* kFiscalSettingsFile = "fiscal.cfg";
inline constexpr const char* kM130Key = "m130f";
inline constexpr const char* kM114Key = "m114f";

struct FiscalDriverSetting {
    std::filesystem::path library;
    std::string options;
};

// The setting for one model; empty with `error` saying what is missing.
std::optional<FiscalDriverSetting> ReadFiscalDriverSetting(const std::filesystem::path& workDir,
                                                           std::string_view model,
                                                           std::string& error);

}  // namespace miradel
