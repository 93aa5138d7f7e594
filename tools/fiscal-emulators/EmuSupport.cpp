#include "EmuSupport.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <system_error>

namespace miradel::emu {

namespace {

#include "CodePages.inc"

std::string Decode(std::string_view bytes, const char* const (&upper)[128]) {
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text.push_back(c);
        } else {
            text += upper[byte - 0x80];
        }
    }
    return text;
}

std::string Escape(std::string_view value) {
    std::string out;
    for (const char c : value) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string Unescape(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            out.push_back(next == 'n' ? '\n' : next == 'r' ? '\r' : next);
        } else {
            out.push_back(value[i]);
        }
    }
    return out;
}

bool ParseInt(std::string_view text, int64_t& value) {
    if (text.empty()) {
        return false;
    }
    const std::string copy(text);
    char* end = nullptr;
    const long long parsed = std::strtoll(copy.c_str(), &end, 0);
    if (end == copy.c_str() || *end != '\0') {
        return false;
    }
    value = parsed;
    return true;
}

std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::istringstream in{std::string(line)};
    std::string word;
    while (in >> word) {
        words.push_back(word);
    }
    return words;
}

}  // namespace

std::string DecodeCp866(std::string_view bytes) {
    return Decode(bytes, kCp866Upper);
}
std::string DecodeCp1251(std::string_view bytes) {
    return Decode(bytes, kCp1251Upper);
}

std::size_t Utf8Chars(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

std::string MoneyText(int64_t hundredths) {
    const bool negative = hundredths < 0;
    const uint64_t magnitude =
        negative ? 0 - static_cast<uint64_t>(hundredths) : static_cast<uint64_t>(hundredths);
    char text[48];
    std::snprintf(text, sizeof text, "%s%llu.%02llu", negative ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 100),
                  static_cast<unsigned long long>(magnitude % 100));
    return text;
}

int64_t SecondsSinceEpochLocal(int year, int month, int day, int hour, int minute, int second) {
    // Days from civil (proleptic Gregorian), as local time without zones.
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yoe = year - era * 400;
    const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t days = era * 146097 + doe - 719468;
    return days * 86400 + hour * 3600 + minute * 60 + second;
}

int64_t NowLocalSeconds() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return SecondsSinceEpochLocal(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                  local.tm_hour, local.tm_min, local.tm_sec);
}

std::string ClockText(int64_t offsetSeconds) {
    int64_t seconds = NowLocalSeconds() + offsetSeconds;
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Civil from days.
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char text[40];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d", static_cast<int>(day),
                  static_cast<int>(month), static_cast<int>(year), static_cast<int>(rest / 3600),
                  static_cast<int>(rest % 3600 / 60));
    return text;
}

void StateFile::Load() {
    entries_.clear();
    std::ifstream in(path_);
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (line.empty() || line[0] == '#' || eq == std::string::npos) {
            continue;
        }
        entries_.emplace_back(line.substr(0, eq), Unescape(line.substr(eq + 1)));
    }
}

bool StateFile::Save() const {
    const std::filesystem::path temporary = path_.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        if (!out) {
            return false;
        }
        out << "# register emulator state; edit only while the office is not running\n";
        for (const auto& [key, value] : entries_) {
            out << key << '=' << Escape(value) << '\n';
        }
        out.flush();
        if (!out) {
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path_, error);
    return !error;
}

std::string StateFile::Get(std::string_view key, std::string_view fallback) const {
    for (const auto& [k, v] : entries_) {
        if (k == key) {
            return v;
        }
    }
    return std::string(fallback);
}

int64_t StateFile::GetInt(std::string_view key, int64_t fallback) const {
    int64_t value = 0;
    return ParseInt(Get(key), value) ? value : fallback;
}

std::vector<std::string> StateFile::GetList(std::string_view key) const {
    std::vector<std::string> values;
    for (const auto& [k, v] : entries_) {
        if (k == key) {
            values.push_back(v);
        }
    }
    return values;
}

void StateFile::Set(std::string_view key, std::string_view value) {
    for (auto& [k, v] : entries_) {
        if (k == key) {
            v = value;
            return;
        }
    }
    entries_.emplace_back(std::string(key), std::string(value));
}

void StateFile::SetInt(std::string_view key, int64_t value) {
    Set(key, std::to_string(value));
}

void StateFile::SetList(std::string_view key, const std::vector<std::string>& values) {
    std::erase_if(entries_, [&](const auto& entry) { return entry.first == key; });
    for (const std::string& value : values) {
        entries_.emplace_back(std::string(key), value);
    }
}

void Tape::Line(std::string_view utf8) {
    std::ofstream out(path_, std::ios::app);
    std::string line(utf8);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\n')) {
        line.pop_back();
    }
    out << line << '\n';
}

void Tape::Lines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        Line(line);
    }
}

FaultControl::FaultControl(std::filesystem::path controlFile, std::string environmentName,
                           std::string options, FaultDefaults defaults)
    : controlFile_(std::move(controlFile)),
      environmentName_(std::move(environmentName)),
      options_(std::move(options)),
      defaults_(defaults) {}

void FaultControl::Refresh() {
    std::string text = options_;
    if (const char* environment = std::getenv(environmentName_.c_str())) {
        text += '\n';
        text += environment;
    }
    text += '\n';
    std::ifstream in(controlFile_);
    if (in) {
        std::ostringstream content;
        content << in.rdbuf();
        text += content.str();
    }
    if (parsed_ && text == lastText_) {
        return;
    }
    lastText_ = text;
    parsed_ = true;
    Parse(text);
}

void FaultControl::Parse(const std::string& text) {
    openFails_ = serialEmpty_ = offline_ = false;
    paperOut_.reset();
    rules_.clear();
    unsupported_.clear();
    settings_.clear();
    calls_.clear();
    anyCalls_ = 0;

    std::string normalised = text;
    for (char& c : normalised) {
        if (c == ';') {
            c = '\n';
        }
    }
    std::istringstream lines(normalised);
    std::string line;
    while (std::getline(lines, line)) {
        if (const auto hash = line.find('#'); hash != std::string::npos) {
            line.resize(hash);
        }
        const std::vector<std::string> w = Words(line);
        if (w.empty()) {
            continue;
        }
        int64_t a = 0;
        int64_t b = 0;
        if (w[0] == "open" && w.size() >= 2 && w[1] == "fail") {
            openFails_ = true;
        } else if (w[0] == "serial" && w.size() >= 2 && w[1] == "empty") {
            serialEmpty_ = true;
        } else if (w[0] == "offline") {
            offline_ = true;
        } else if (w[0] == "paper" && w.size() >= 2 && w[1] == "out") {
            std::pair<int32_t, int32_t> codes{defaults_.paperCode, defaults_.paperExtended};
            if (w.size() >= 3 && ParseInt(w[2], a)) {
                codes.first = static_cast<int32_t>(a);
            }
            if (w.size() >= 4 && ParseInt(w[3], b)) {
                codes.second = static_cast<int32_t>(b);
            }
            paperOut_ = codes;
        } else if (w[0] == "fail" && w.size() >= 4) {
            Rule rule;
            rule.op = w[1];
            int64_t code = 0;
            if (!ParseInt(w[2], rule.position) || !ParseInt(w[3], code)) {
                continue;
            }
            rule.code = static_cast<int32_t>(code);
            if (w.size() >= 5 && ParseInt(w[4], a)) {
                rule.extended = static_cast<int32_t>(a);
            }
            if (w.size() >= 6 && ParseInt(w[5], b)) {
                rule.times = b;
            }
            rules_.push_back(rule);
        } else if (w[0] == "unsupported" && w.size() >= 2) {
            unsupported_.push_back(w[1]);
        } else if (w.size() >= 2 && ParseInt(w[1], a)) {
            settings_[w[0]] = a;
        }
    }
}

bool FaultControl::OpenFails() {
    Refresh();
    return openFails_ || offline_;
}

bool FaultControl::SerialEmpty() {
    Refresh();
    return serialEmpty_;
}

std::optional<int64_t> FaultControl::Setting(std::string_view name) {
    Refresh();
    const auto found = settings_.find(name);
    if (found == settings_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<FaultHit> FaultControl::Check(std::string_view op, bool prints) {
    Refresh();
    const int64_t call = ++calls_[std::string(op)];
    const int64_t any = ++anyCalls_;
    if (offline_) {
        return FaultHit{defaults_.offlineCode, defaults_.offlineExtended, true};
    }
    for (const std::string& name : unsupported_) {
        if (name == op) {
            return FaultHit{defaults_.unsupportedCode, 0, false};
        }
    }
    for (const Rule& rule : rules_) {
        const int64_t position = rule.op == "any" ? any : rule.op == op ? call : 0;
        if (position == 0 || position < rule.position) {
            continue;
        }
        if (rule.times <= 0 || position < rule.position + rule.times) {
            return FaultHit{rule.code, rule.extended, true};
        }
    }
    if (prints && paperOut_) {
        return FaultHit{paperOut_->first, paperOut_->second, true};
    }
    return std::nullopt;
}

}  // namespace miradel::emu
