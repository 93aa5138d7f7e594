#pragma once
// The rules of the COM port window ("COM-port"), without any toolkit: which of COM1..COM8 the
// booth controller, the fiscal register and the LCD/DTMF line use, and which Linux device
// stands behind each of those ports on this PC (ports.cfg).
//
// "Применить" only changes the app.cfg image and raises its dirty flag: the save timer writes
// the file, and each link takes its new port the next time it is opened. The device paths are
// this PC's own and go straight to ports.cfg. "Закрыть" just closes; nothing needs undoing.

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/config/AppConfig.h"
#include "controller/PortMap.h"

namespace miradel {

inline constexpr const char* kComPortTitle = "COM-port";
inline constexpr const char* kComPortApplyText = "Применить";
inline constexpr const char* kComPortCloseText = "Закрыть";

class ComPortModel {
  public:
    static constexpr int kChoiceCount = 3;  // controller, fiscal register, LCD and DTMF

    // Fills the choices from the image and the device paths from folder/ports.cfg.
    ComPortModel(AppConfig& config, std::filesystem::path folder);

    // "COM - АПП", "COM - ККМ", "COM - ЖКИ+DTMF"; empty outside 0..2.
    static std::string_view Caption(int choice);
    // "COM1".."COM8", the entries of every choice (entry i is port index i).
    static const std::vector<std::string>& PortNames();

    // The chosen port 0..7, or -1 when the image holds a number that is no port (it is then
    // kept as it is on apply unless the operator picks one).
    int Port(int choice) const;
    // The device the chosen port is mapped to; empty: not mapped, the default device is used.
    std::string DevicePath(int choice) const;
    // What an unmapped port opens ("/dev/ttyS2" for COM3); empty without a port.
    std::string DefaultDevice(int choice) const;

    // Input from the operator; a choice or port out of range is ignored. Two choices may
    // name the same port: they then show, and edit, the same device path.
    void SetPort(int choice, int port);
    void SetDevicePath(int choice, std::string path);

    // Stores the three ports in the image (dirty flag raised) and writes ports.cfg when a
    // path was changed. Empty on success; otherwise the text to show, and nothing is stored.
    std::string Apply();

    // Lines of ports.cfg that could not be read when the window opened; such a line is left
    // out when the file is written again.
    const std::vector<std::string>& PortMapProblems() const { return problems_; }

  private:
    AppConfig& config_;
    std::filesystem::path folder_;
    std::array<int, kChoiceCount> ports_{};
    std::array<std::string, kComPortCount> paths_;   // as edited; empty: not mapped
    std::array<std::string, kComPortCount> loaded_;  // as ports.cfg had them
    std::vector<std::string> problems_;
};

}  // namespace miradel
