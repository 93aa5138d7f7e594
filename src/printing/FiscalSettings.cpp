#include "printing/FiscalSettings.h"
#include "common/TextTrim.h"

#include <fstream>
#include <string>

namespace miradel {

namespace {

std::string Trimmed(std::string_view text) {
    return std::string(TrimBlanks(text));
}

}  // namespace

std::optional<FiscalDriverSetting> ReadFiscalDriverSetting(const std::filesystem::path& workDir,
                                                           std::string_view model,
                                                           std::string& error) {
    const std::filesystem::path file = workDir / kFiscalSettingsFile;
    std::ifstream in(file);
    if (!in) {
        error = "Не найден файл настроек драйвера ККМ: " + file.string();
        return std::nullopt;
    }
    const std::string optionsKey = std::string(model) + ".options";
    std::optional<std::string> library;
    std::string options;
    std::string line;
    while (std::getline(in, line)) {
        const std::string text = Trimmed(line);
        const auto eq = text.find('=');
        if (text.empty() || text[0] == '#' || text[0] == ';' || eq == std::string::npos) {
            continue;
        }
        const std::string key = Trimmed(std::string_view(text).substr(0, eq));
        const std::string value = Trimmed(std::string_view(text).substr(eq + 1));
        if (key == model) {
            library = value;
        } else if (key == optionsKey) {
            options = value;
        }
    }
    if (!library || library->empty()) {
        error = "Не задан драйвер ККМ \"" + std::string(model) + "\" в " + file.string();
        return std::nullopt;
    }
    std::filesystem::path path(*library);
    if (path.is_relative()) {
        path = workDir / path;
    }
    return FiscalDriverSetting{path, options};
}

}  // namespace miradel
