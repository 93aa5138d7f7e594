#pragma once
// Which Linux device stands behind each COM port of the office's settings.
//
// app.cfg names the booth controller's port by an index 0..7, shown as COM1..COM8. By default
// COMn is /dev/ttyS(n-1); the file ports.cfg in the office's working folder can point any of
// them elsewhere, one "COMn=/path" a line:
//
//   # USB adapter for the booth controller
//   COM1=/dev/ttyUSB0
//
// Blank lines and lines starting with '#' are skipped, blanks around the name, the '=' and
// the path are ignored, the name is not case-sensitive, and a later line for the same port
// wins. A line that cannot be read is reported with file and line number and skipped; it does
// not stop the office.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace miradel {

inline constexpr int kComPortCount = 8;
inline constexpr std::string_view kPortMapFileName = "ports.cfg";

// "COM1" for index 0; empty outside 0..7.
std::string ComPortName(int index);
// "/dev/ttyS0" for index 0; empty outside 0..7.
std::string DefaultDevicePath(int index);

class PortMap {
  public:
    // The device for a port index, or nullopt for an index outside 0..7 (no such port).
    std::optional<std::string> DevicePath(int index) const;
    // True when the port does not use its default device.
    bool IsOverridden(int index) const;

    // False (and nothing changes) for an index outside 0..7 or a path that is not absolute.
    bool SetDevicePath(int index, std::string path);
    void ResetToDefault(int index);

  private:
    std::array<std::optional<std::string>, kComPortCount> overrides_;
};

// A line of ports.cfg that was skipped.
struct PortMapIssue {
    std::filesystem::path file;
    int line = 0;  // 1-based; 0 when the whole file is concerned
    std::string reason;

    // "<file>:3: <reason>", or "<file>: <reason>"
    std::string Text() const;
};

struct PortMapLoad {
    PortMap map;
    std::vector<PortMapIssue> issues;
    bool fileFound = false;
};

// Reads the text of a ports.cfg; `file` only names it in the issues.
PortMapLoad ParsePortMap(std::string_view text, const std::filesystem::path& file);
// Reads folder/ports.cfg; a missing file gives the defaults and no issues.
PortMapLoad LoadPortMap(const std::filesystem::path& folder);

// The file text for the map: a short header and one line per overridden port.
std::string FormatPortMap(const PortMap& map);
// Replaces folder/ports.cfg in one step; empty on success, otherwise what failed.
std::string SavePortMap(const PortMap& map, const std::filesystem::path& folder);

}  // namespace miradel
