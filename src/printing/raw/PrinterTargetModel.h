#pragma once
// The printer choice of the "Setup Printer" window, without any toolkit: where the raw
// receipt bytes go. One entry per CUPS queue (and the CUPS default printer), a device file
// and a spool folder; the last two with a path of their own.

#include <optional>
#include <string>
#include <vector>

#include "printing/raw/PrinterConfig.h"

namespace miradel {

inline constexpr const char* kPrinterChoiceTitle = "Printer";
inline constexpr const char* kCupsDefaultEntry = "CUPS: default printer";
inline constexpr const char* kCupsEntryPrefix = "CUPS: ";
inline constexpr const char* kDeviceFileEntry = "Device file";
inline constexpr const char* kSpoolFolderEntry = "Spool folder";

struct PrinterTargetEntry {
    std::string text;  // as the list shows it
    PrinterKind kind = PrinterKind::kCups;
    std::string queue;  // CUPS only; empty for the default printer
};

// What OK of the choice produced: the settings to save, or why there are none.
struct PrinterTargetResult {
    std::optional<PrinterConfig> config;
    std::string error;
};

// The choice as one line for the setup window: "CUPS: Receipts", "Device file: /dev/lp0".
std::string DescribePrinterTarget(const PrinterConfig& config);

class PrinterTargetModel {
  public:
    // `current` is printer.cfg as it is; `queues` the queues CUPS offers now (none when no
    // server answers). The current queue stays in the list even when CUPS does not offer it.
    PrinterTargetModel(PrinterConfig current, const std::vector<std::string>& queues);

    const std::vector<PrinterTargetEntry>& Entries() const { return entries_; }
    int Chosen() const { return chosen_; }
    void Choose(int entry);  // ignored out of range

    bool DevicePathEnabled() const;   // only with "Device file" chosen
    bool SpoolFolderEnabled() const;  // only with "Spool folder" chosen
    const std::string& DevicePath() const { return devicePath_; }
    const std::string& SpoolFolder() const { return spoolFolder_; }
    void SetDevicePath(std::string path) { devicePath_ = std::move(path); }
    void SetSpoolFolder(std::string path) { spoolFolder_ = std::move(path); }

    // The current settings with the chosen kind and target; the server, the code page and the
    // timeout stay as they were. A device file or spool folder needs a path of one line.
    PrinterTargetResult Result() const;

  private:
    PrinterConfig current_;
    std::vector<PrinterTargetEntry> entries_;
    int chosen_ = 0;
    std::string devicePath_;
    std::string spoolFolder_;
};

}  // namespace miradel
