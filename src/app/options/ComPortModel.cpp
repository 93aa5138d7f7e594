#include "app/options/ComPortModel.h"
#include "common/TextTrim.h"

#include <algorithm>

namespace miradel {

namespace {

struct ChoiceField {
    std::string_view caption;
    appcfg::I32 field;
};

constexpr std::array<ChoiceField, ComPortModel::kChoiceCount> kChoices = {{
    {"COM - АПП", appcfg::kComPortApp},
    {"COM - ККМ", appcfg::kComPortFiscal},
    {"COM - ЖКИ+DTMF", appcfg::kComPortLcd},
}};

bool ValidChoice(int choice) {
    return choice >= 0 && choice < ComPortModel::kChoiceCount;
}

bool ValidPort(int port) {
    return port >= 0 && port < kComPortCount;
}

std::string Trimmed(std::string_view text) {
    return std::string(TrimBlanks(text));
}

// A path ports.cfg can hold and the serial port can open: absolute, on one line.
bool UsablePath(const std::string& path) {
    return path.starts_with('/') && std::none_of(path.begin(), path.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
           });
}

}  // namespace

ComPortModel::ComPortModel(AppConfig& config, std::filesystem::path folder)
    : config_(config), folder_(std::move(folder)) {
    const AppConfigData image = config_.Copy();
    for (int c = 0; c < kChoiceCount; ++c) {
        const int32_t stored = image.Get(kChoices[c].field);
        ports_[c] = ValidPort(stored) ? stored : -1;
    }
    const PortMapLoad load = LoadPortMap(folder_);
    for (int p = 0; p < kComPortCount; ++p) {
        if (load.map.IsOverridden(p)) {
            loaded_[p] = *load.map.DevicePath(p);
        }
    }
    paths_ = loaded_;
    for (const PortMapIssue& issue : load.issues) {
        problems_.push_back(issue.Text());
    }
}

std::string_view ComPortModel::Caption(int choice) {
    return ValidChoice(choice) ? kChoices[choice].caption : std::string_view();
}

const std::vector<std::string>& ComPortModel::PortNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (int p = 0; p < kComPortCount; ++p) {
            all.push_back(ComPortName(p));
        }
        return all;
    }();
    return names;
}

int ComPortModel::Port(int choice) const {
    return ValidChoice(choice) ? ports_[choice] : -1;
}

std::string ComPortModel::DevicePath(int choice) const {
    const int port = Port(choice);
    return ValidPort(port) ? paths_[port] : std::string();
}

std::string ComPortModel::DefaultDevice(int choice) const {
    return DefaultDevicePath(Port(choice));
}

void ComPortModel::SetPort(int choice, int port) {
    if (ValidChoice(choice) && ValidPort(port)) {
        ports_[choice] = port;
    }
}

void ComPortModel::SetDevicePath(int choice, std::string path) {
    const int port = Port(choice);
    if (ValidPort(port)) {
        paths_[port] = std::move(path);
    }
}

std::string ComPortModel::Apply() {
    // Every path is checked before anything is stored: a refused path leaves the image and
    // ports.cfg as they were.
    PortMap map;
    bool changed = false;
    for (int p = 0; p < kComPortCount; ++p) {
        const std::string path = Trimmed(paths_[p]);
        if (!path.empty() && (!UsablePath(path) || !map.SetDevicePath(p, path))) {
            return "Устройство для " + ComPortName(p) +
                   " нужно указать полным путём, например /dev/ttyUSB0";
        }
        changed = changed || path != loaded_[p];
    }
    if (changed) {
        const std::string error = SavePortMap(map, folder_);
        if (!error.empty()) {
            return "Не удалось записать " + std::string(kPortMapFileName) + ": " + error;
        }
        for (int p = 0; p < kComPortCount; ++p) {
            loaded_[p] = paths_[p] = map.IsOverridden(p) ? *map.DevicePath(p) : std::string();
        }
    }
    config_.Modify([this](AppConfigData& image) {
        for (int c = 0; c < kChoiceCount; ++c) {
            if (ports_[c] >= 0) {
                image.Set(kChoices[c].field, ports_[c]);
            }
        }
    });
    return {};
}

}  // namespace miradel
