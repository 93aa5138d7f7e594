#include "controller/PortMap.h"

#include "common/AtomicFile.h"

namespace miradel {

namespace {

bool ValidIndex(int index) {
    return index >= 0 && index < kComPortCount;
}

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\f\v";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The index for "COM1".."COM8" in any case, or -1.
int IndexForName(std::string_view name) {
    if (name.size() != 4) {
        return -1;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if ((name[i] | 0x20) != "com"[i]) {
            return -1;
        }
    }
    const int number = name[3] - '0';
    return number >= 1 && number <= kComPortCount ? number - 1 : -1;
}

// Shows a piece of a bad line in an issue, kept short and printable.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kMaxShown = 40;
    std::string shown;
    for (char c : text.substr(0, kMaxShown)) {
        shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    }
    if (text.size() > kMaxShown) {
        shown += "...";
    }
    return "\"" + shown + "\"";
}

}  // namespace

std::string ComPortName(int index) {
    return ValidIndex(index) ? "COM" + std::to_string(index + 1) : std::string();
}

std::string DefaultDevicePath(int index) {
    return ValidIndex(index) ? "/dev/ttyS" + std::to_string(index) : std::string();
}

std::optional<std::string> PortMap::DevicePath(int index) const {
    if (!ValidIndex(index)) {
        return std::nullopt;
    }
    return overrides_[index] ? *overrides_[index] : DefaultDevicePath(index);
}

bool PortMap::IsOverridden(int index) const {
    return ValidIndex(index) && overrides_[index].has_value();
}

bool PortMap::SetDevicePath(int index, std::string path) {
    if (!ValidIndex(index) || !path.starts_with('/') || path.find('\n') != std::string::npos) {
        return false;
    }
    overrides_[index] = std::move(path);
    return true;
}

void PortMap::ResetToDefault(int index) {
    if (ValidIndex(index)) {
        overrides_[index].reset();
    }
}

std::string PortMapIssue::Text() const {
    std::string text = file.string();
    if (line > 0) {
        text += ":" + std::to_string(line);
    }
    return text + ": " + reason;
}

PortMapLoad ParsePortMap(std::string_view text, const std::filesystem::path& file) {
    PortMapLoad load;
    load.fileFound = true;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view rawLine = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;

        const std::string_view line = Trim(rawLine);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        auto report = [&](std::string reason) {
            load.issues.push_back({file, lineNumber, std::move(reason)});
        };
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            report("expected COMn=/dev/..., got " + Quoted(line));
            continue;
        }
        const std::string_view name = Trim(line.substr(0, equals));
        const std::string_view path = Trim(line.substr(equals + 1));
        const int index = IndexForName(name);
        if (index < 0) {
            report("unknown port " + Quoted(name) + ", expected COM1..COM" +
                   std::to_string(kComPortCount));
            continue;
        }
        if (path.empty()) {
            report("no device given for " + ComPortName(index));
            continue;
        }
        if (!load.map.SetDevicePath(index, std::string(path))) {
            report("device " + Quoted(path) + " for " + ComPortName(index) +
                   " is not an absolute path");
        }
    }
    return load;
}

PortMapLoad LoadPortMap(const std::filesystem::path& folder) {
    const std::filesystem::path file = folder / kPortMapFileName;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return {};
    }
    const std::optional<std::vector<uint8_t>> bytes =
        std::filesystem::is_regular_file(status) ? ReadWholeFile(file) : std::nullopt;
    if (!bytes) {
        PortMapLoad load;
        load.issues.push_back({file, 0, "cannot be read, the default devices are used"});
        return load;
    }
    return ParsePortMap(
        std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), file);
}

std::string FormatPortMap(const PortMap& map) {
    std::string text = "# Devices of the COM ports; a port not listed here uses /dev/ttyS<n-1>.\n";
    for (int index = 0; index < kComPortCount; ++index) {
        if (map.IsOverridden(index)) {
            text += ComPortName(index) + "=" + *map.DevicePath(index) + "\n";
        }
    }
    return text;
}

std::string SavePortMap(const PortMap& map, const std::filesystem::path& folder) {
    const std::string text = FormatPortMap(map);
    return WriteFileAtomically(folder / kPortMapFileName,
                               reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

}  // namespace miradel
