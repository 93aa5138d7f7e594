#include "DemoFolder.h"

#include <cstdlib>
#include <system_error>

#include "app/config/AppConfig.h"
#include "app/config/AppConfigFields.h"
#include "app/config/StateFiles.h"
#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "controller/PortMap.h"

namespace miradel::office {

namespace {

constexpr const char* kExampleFiles[] = {"ticket.cfg", "avans.cfg", "incass.cfg", "prefix.dat",
                                         "kz_1.dat",   "zt_1.dat",  "year.dat",   "printer.cfg"};

std::string WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    return WriteFileAtomically(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

}  // namespace

std::filesystem::path DefaultDemoFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') {
        return std::filesystem::path(xdg) / "miradel" / "demo";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : ".") / ".local" / "share" / "miradel" /
           "demo";
}

std::string PrepareDemoFolder(const std::filesystem::path& folder,
                              const std::filesystem::path& examples) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        return "cannot create " + folder.string() + ": " + ec.message();
    }
    for (const char* name : kExampleFiles) {
        if (std::filesystem::exists(folder / name)) {
            continue;
        }
        const auto text = ReadWholeFile(examples / name);
        if (!text) {
            return "cannot read the example file " + (examples / name).string();
        }
        std::string utf8(text->begin(), text->end());
        if (name != std::string("printer.cfg")) {
            // The office's text files end their lines the Windows way.
            std::string crlf;
            for (char c : utf8) {
                crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
            }
            utf8 = std::move(crlf);
        }
        if (auto error = WriteBytes(folder / name, Utf8ToCp1251(utf8)); !error.empty()) {
            return error;
        }
    }
    if (!std::filesystem::exists(folder / kKassaDatName)) {
        if (auto error = WriteBytes(folder / kKassaDatName, std::string(32, '\0'));
            !error.empty()) {
            return error;
        }
    }
    if (!std::filesystem::exists(folder / kAppCfgName)) {
        AppConfigData d = AppConfigData::Defaults();
        d.Set(appcfg::kAutoTariffStart, 1);  // metering starts when the called party answers
        d.Set(appcfg::kPrintAdvance, true);
        d.Set(appcfg::kPrintSettlement, true);
        d.Set(appcfg::kProcessPriority, 0);  // a desktop user may not raise it
        d.Set(appcfg::kNextBoothReceipt, 1);
        const auto& bytes = d.bytes();
        if (auto error = WriteFileAtomically(folder / kAppCfgName,
                                             std::vector<uint8_t>(bytes.begin(), bytes.end()));
            !error.empty()) {
            return error;
        }
    }
    return {};
}

std::string PointPortAt(const std::filesystem::path& folder, int comIndex,
                        const std::string& device) {
    PortMapLoad load = LoadPortMap(folder);
    if (!load.map.SetDevicePath(comIndex, device)) {
        return "cannot point " + ComPortName(comIndex) + " at " + device;
    }
    return SavePortMap(load.map, folder);
}

}  // namespace miradel::office
