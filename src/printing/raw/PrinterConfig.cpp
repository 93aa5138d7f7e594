#include "printing/raw/PrinterConfig.h"

#include <fmt/format.h>

#include <charconv>

#include "common/AtomicFile.h"
#include "printing/raw/CupsBackend.h"
#include "printing/raw/DeviceFileBackend.h"
#include "printing/raw/SpoolFolderBackend.h"

namespace miradel {

namespace {

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

}  // namespace

PrinterConfigLoad ParsePrinterConfig(const std::string& text) {
    PrinterConfigLoad load;
    PrinterConfig& c = load.config;
    std::size_t lineNo = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line = Trim(std::string_view(text).substr(pos, end - pos));
        pos = end + 1;
        ++lineNo;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto problem = [&](std::string what) {
            load.problems.push_back(fmt::format("printer.cfg line {}: {}", lineNo, what));
        };
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            problem("expected key = value");
            continue;
        }
        const std::string key = Lower(Trim(line.substr(0, eq)));
        const std::string_view value = Trim(line.substr(eq + 1));
        if (key == "backend") {
            const std::string v = Lower(value);
            if (v == "cups") {
                c.kind = PrinterKind::kCups;
            } else if (v == "device") {
                c.kind = PrinterKind::kDevice;
            } else if (v == "spool") {
                c.kind = PrinterKind::kSpool;
            } else {
                problem(fmt::format("unknown backend \"{}\" (cups, device or spool)", value));
            }
        } else if (key == "target") {
            c.target = value;
        } else if (key == "server") {
            c.server = value;
        } else if (key == "encoding") {
            const std::string v = Lower(value);
            if (v == "cp1251" || v == "windows-1251") {
                c.encoding = PrinterEncoding::kCp1251;
            } else if (v == "cp866") {
                c.encoding = PrinterEncoding::kCp866;
            } else {
                problem(fmt::format("unknown encoding \"{}\" (cp1251 or cp866)", value));
            }
        } else if (key == "timeout") {
            int seconds = 0;
            const auto [ptr, ec] =
                std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (ec != std::errc() || ptr != value.data() + value.size() ||
                seconds < kMinPrinterTimeout || seconds > kMaxPrinterTimeout) {
                problem(fmt::format("timeout must be whole seconds from {} to {}",
                                    kMinPrinterTimeout, kMaxPrinterTimeout));
            } else {
                c.timeoutSeconds = seconds;
            }
        } else {
            problem(fmt::format("unknown key \"{}\"", key));
        }
    }
    if (c.kind != PrinterKind::kCups && c.target.empty()) {
        load.problems.push_back(c.kind == PrinterKind::kDevice
                                    ? "printer.cfg: backend device needs a target device file"
                                    : "printer.cfg: backend spool needs a target folder");
    }
    return load;
}

PrinterConfigLoad LoadPrinterConfig(const std::filesystem::path& folder) {
    const auto bytes = ReadWholeFile(folder / kPrinterCfgName);
    if (!bytes) {
        return {};
    }
    return ParsePrinterConfig(std::string(bytes->begin(), bytes->end()));
}

namespace {

const char* KindWord(PrinterKind kind) {
    switch (kind) {
        case PrinterKind::kDevice:
            return "device";
        case PrinterKind::kSpool:
            return "spool";
        case PrinterKind::kCups:
            break;
    }
    return "cups";
}

// A value the file keeps as it is: one line, nothing that reading would trim away.
bool Storable(std::string_view value) {
    return value.find_first_of("\r\n") == std::string_view::npos && Trim(value) == value;
}

}  // namespace

std::string FormatPrinterConfig(const PrinterConfig& config) {
    std::string text = "# Receipt printer, set in the \"Setup Printer\" window.\n";
    text += fmt::format("backend = {}\n", KindWord(config.kind));
    text += fmt::format("target = {}\n", config.target);
    if (!config.server.empty()) {
        text += fmt::format("server = {}\n", config.server);
    }
    text += fmt::format("encoding = {}\n",
                        config.encoding == PrinterEncoding::kCp866 ? "cp866" : "cp1251");
    text += fmt::format("timeout = {}\n", config.timeoutSeconds);
    return text;
}

std::string SavePrinterConfig(const PrinterConfig& config, const std::filesystem::path& folder) {
    if (!Storable(config.target) || !Storable(config.server)) {
        return "printer.cfg: the target and the server must be one line without blanks at "
               "either end";
    }
    if (config.timeoutSeconds < kMinPrinterTimeout || config.timeoutSeconds > kMaxPrinterTimeout) {
        return fmt::format("printer.cfg: timeout must be whole seconds from {} to {}",
                           kMinPrinterTimeout, kMaxPrinterTimeout);
    }
    const std::string text = FormatPrinterConfig(config);
    return WriteFileAtomically(folder / kPrinterCfgName,
                               reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::unique_ptr<RawPrinterBackend> MakePrinterBackend(const PrinterConfig& config,
                                                      const std::filesystem::path& folder) {
    const auto local = [&](const std::string& target) {
        if (target.empty()) {
            return std::filesystem::path();  // the backend reports the missing target
        }
        const std::filesystem::path p(target);
        return p.is_absolute() ? p : folder / p;
    };
    const int timeoutMs = config.timeoutSeconds * 1000;
    switch (config.kind) {
        case PrinterKind::kDevice:
            return std::make_unique<DeviceFileBackend>(local(config.target), timeoutMs);
        case PrinterKind::kSpool:
            return std::make_unique<SpoolFolderBackend>(local(config.target));
        case PrinterKind::kCups:
            break;
    }
    return std::make_unique<CupsBackend>(CupsSettings{config.target, config.server, timeoutMs});
}

}  // namespace miradel
