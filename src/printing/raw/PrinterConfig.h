#pragma once
// printer.cfg in the working folder: which kind of printer the receipts go to. The format is
// described in docs/PRINTER.md; a missing file means the CUPS default printer in Windows-1251.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "printing/raw/PrinterText.h"
#include "printing/raw/RawPrinterBackend.h"

namespace miradel {

inline constexpr const char* kPrinterCfgName = "printer.cfg";

enum class PrinterKind { kCups, kDevice, kSpool };

struct PrinterConfig {
    PrinterKind kind = PrinterKind::kCups;
    std::string target;  // CUPS queue (empty: default), device file, or spool folder
    std::string server;  // CUPS only: host[:port] or socket path; empty: the system's
    PrinterEncoding encoding = PrinterEncoding::kCp1251;
    int timeoutSeconds = 10;
};

inline constexpr int kMinPrinterTimeout = 1;
inline constexpr int kMaxPrinterTimeout = 120;

struct PrinterConfigLoad {
    PrinterConfig config;
    // One English line per line of the file that was not understood; such a line changes
    // nothing, the rest of the file still counts.
    std::vector<std::string> problems;
};

PrinterConfigLoad ParsePrinterConfig(const std::string& text);
PrinterConfigLoad LoadPrinterConfig(const std::filesystem::path& folder);

// The file text for the settings, read back by ParsePrinterConfig as the same settings.
std::string FormatPrinterConfig(const PrinterConfig& config);
// Replaces folder/printer.cfg in one step; empty on success, otherwise what failed. A target
// or server that the file could not hold (a line break, blanks at either end) is refused.
std::string SavePrinterConfig(const PrinterConfig& config, const std::filesystem::path& folder);

// Relative device and spool paths are taken from `folder`, the working folder.
std::unique_ptr<RawPrinterBackend> MakePrinterBackend(const PrinterConfig& config,
                                                      const std::filesystem::path& folder);

}  // namespace miradel
