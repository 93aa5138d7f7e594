#include "printing/raw/PrinterTargetModel.h"
#include "common/TextTrim.h"

#include <algorithm>

namespace miradel {

namespace {

std::string Trimmed(const std::string& text) {
    return std::string(TrimBlanks(text));
}

bool OneLine(const std::string& text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace

std::string DescribePrinterTarget(const PrinterConfig& config) {
    switch (config.kind) {
        case PrinterKind::kDevice:
            return std::string(kDeviceFileEntry) + ": " + config.target;
        case PrinterKind::kSpool:
            return std::string(kSpoolFolderEntry) + ": " + config.target;
        case PrinterKind::kCups:
            break;
    }
    return config.target.empty() ? kCupsDefaultEntry : kCupsEntryPrefix + config.target;
}

PrinterTargetModel::PrinterTargetModel(PrinterConfig current,
                                       const std::vector<std::string>& queues)
    : current_(std::move(current)) {
    entries_.push_back({kCupsDefaultEntry, PrinterKind::kCups, ""});
    std::vector<std::string> names = queues;
    if (current_.kind == PrinterKind::kCups && !current_.target.empty()) {
        names.push_back(current_.target);
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (const std::string& name : names) {
        if (!name.empty()) {
            entries_.push_back({kCupsEntryPrefix + name, PrinterKind::kCups, name});
        }
    }
    entries_.push_back({kDeviceFileEntry, PrinterKind::kDevice, ""});
    entries_.push_back({kSpoolFolderEntry, PrinterKind::kSpool, ""});

    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const PrinterTargetEntry& e = entries_[i];
        if (e.kind == current_.kind &&
            (e.kind != PrinterKind::kCups || e.queue == current_.target)) {
            chosen_ = static_cast<int>(i);
        }
    }
    if (current_.kind == PrinterKind::kDevice) {
        devicePath_ = current_.target;
    } else if (current_.kind == PrinterKind::kSpool) {
        spoolFolder_ = current_.target;
    }
}

void PrinterTargetModel::Choose(int entry) {
    if (entry >= 0 && entry < static_cast<int>(entries_.size())) {
        chosen_ = entry;
    }
}

bool PrinterTargetModel::DevicePathEnabled() const {
    return entries_[chosen_].kind == PrinterKind::kDevice;
}

bool PrinterTargetModel::SpoolFolderEnabled() const {
    return entries_[chosen_].kind == PrinterKind::kSpool;
}

PrinterTargetResult PrinterTargetModel::Result() const {
    const PrinterTargetEntry& entry = entries_[chosen_];
    PrinterConfig config = current_;
    config.kind = entry.kind;
    switch (entry.kind) {
        case PrinterKind::kCups:
            config.target = entry.queue;
            break;
        case PrinterKind::kDevice:
            config.target = Trimmed(devicePath_);
            if (config.target.empty() || !OneLine(config.target)) {
                return {std::nullopt, "Enter the printer's device file, such as /dev/usb/lp0"};
            }
            break;
        case PrinterKind::kSpool:
            config.target = Trimmed(spoolFolder_);
            if (config.target.empty() || !OneLine(config.target)) {
                return {std::nullopt, "Enter the spool folder, such as receipts"};
            }
            break;
    }
    return {config, ""};
}

}  // namespace miradel
