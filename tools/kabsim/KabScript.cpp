#include "KabScript.h"

#include <optional>
#include <utility>

namespace miradel::kabsim {

namespace {

constexpr int64_t kMaxSecondsMs = 86400 * 1000;
constexpr std::size_t kMaxDigits = 32;
constexpr std::size_t kMaxSendBytes = 13;
constexpr std::size_t kMaxGarbageBytes = 64;
constexpr int kMaxCount = 1000;
constexpr int kLines = 16;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// A token as shown in an error: quoted, cut short, with control bytes replaced.
std::string Shown(std::string_view token) {
    constexpr std::size_t kMaxShown = 24;
    std::string shown = "\"";
    for (char c : token.substr(0, kMaxShown)) {
        shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    }
    return shown + (token.size() > kMaxShown ? "...\"" : "\"");
}

std::vector<std::string> Tokens(std::string_view line) {
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '#') {
            break;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
               line[i] != '\f' && line[i] != '\v' && line[i] != '#') {
            ++i;
        }
        tokens.push_back(Lower(line.substr(start, i - start)));
    }
    return tokens;
}

// "12", "0.3", "1.250" as milliseconds.
std::optional<int64_t> ParseSeconds(std::string_view text) {
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.empty() || whole.size() > 6 || fraction.size() > 3 ||
        (dot != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    int64_t ms = 0;
    for (char c : whole) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        ms = ms * 10 + (c - '0');
    }
    ms *= 1000;
    int64_t scale = 100;
    for (char c : fraction) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        ms += (c - '0') * scale;
        scale /= 10;
    }
    if (ms > kMaxSecondsMs) {
        return std::nullopt;
    }
    return ms;
}

std::optional<int> ParseInteger(std::string_view text, int low, int high) {
    if (text.empty() || text.size() > 6) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<uint8_t> ParseHexByte(std::string_view text) {
    if (text.empty() || text.size() > 2) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return std::nullopt;
        }
        value = value * 16 + digit;
    }
    return static_cast<uint8_t>(value);
}

// Reads one line's step; appends its actions and moves the script time on.
class StepParser {
  public:
    StepParser(const std::vector<std::string>& tokens, int sourceLine, int64_t& timeMs,
               std::vector<ScriptAction>& actions)
        : tokens_(tokens), sourceLine_(sourceLine), timeMs_(timeMs), actions_(actions) {}

    // Empty on success, otherwise the error message.
    std::string Parse() {
        std::vector<ScriptAction> parsed;
        int64_t time = timeMs_;
        if (Peek() == "at") {
            Next();
            const std::optional<int64_t> at = Seconds("at");
            if (!at) {
                return error_;
            }
            if (*at < time) {
                return "at " + tokens_[1] + " is earlier than the end of the steps before it (" +
                       SecondsText(time) + " s)";
            }
            time = *at;
        }
        if (AtEnd()) {
            return "a step is missing after \"at\"";
        }
        const std::string word = Next();
        if (word == "wait") {
            const std::optional<int64_t> seconds = Seconds("wait");
            if (!seconds) {
                return error_;
            }
            time += *seconds;
        } else if (word == "line") {
            if (!LineStep(time, parsed)) {
                return error_;
            }
        } else if (word == "send") {
            std::vector<uint8_t> bytes;
            if (!HexBytes("send", kMaxSendBytes, bytes)) {
                return error_;
            }
            parsed.push_back(Action(time, ActionKind::kSend, 0, 0, std::move(bytes)));
        } else if (word == "misbehave") {
            if (!Misbehave(time, parsed)) {
                return error_;
            }
        } else {
            return "unknown step " + Shown(word) + ", expected wait, line, send or misbehave";
        }
        if (!AtEnd()) {
            return "unexpected " + Shown(Peek()) + " after the step";
        }
        timeMs_ = time;
        for (ScriptAction& action : parsed) {
            actions_.push_back(std::move(action));
        }
        return {};
    }

  private:
    static std::string SecondsText(int64_t ms) {
        std::string text = std::to_string(ms / 1000);
        if (ms % 1000 != 0) {
            std::string fraction = std::to_string(1000 + ms % 1000).substr(1);
            while (fraction.back() == '0') {
                fraction.pop_back();
            }
            text += "." + fraction;
        }
        return text;
    }

    bool AtEnd() const { return next_ >= tokens_.size(); }
    std::string Peek() const { return AtEnd() ? std::string() : tokens_[next_]; }
    std::string Next() { return AtEnd() ? std::string() : tokens_[next_++]; }

    bool Fail(std::string message) {
        error_ = std::move(message);
        return false;
    }

    ScriptAction Action(int64_t time, ActionKind kind, int line, int value,
                        std::vector<uint8_t> bytes = {}) const {
        return ScriptAction{time, sourceLine_, kind, line, value, std::move(bytes)};
    }

    std::optional<int64_t> Seconds(const char* after) {
        if (AtEnd()) {
            Fail(std::string("seconds expected after \"") + after + "\"");
            return std::nullopt;
        }
        const std::string token = Next();
        const std::optional<int64_t> ms = ParseSeconds(token);
        if (!ms) {
            Fail(Shown(token) + " is not a time in seconds (0 to 86400, e.g. 1.5)");
        }
        return ms;
    }

    bool OnOff(const char* after, int& value) {
        const std::string token = Next();
        if (token != "on" && token != "off") {
            return Fail(std::string("on or off expected after \"") + after + "\"");
        }
        value = token == "on" ? 1 : 0;
        return true;
    }

    bool HexBytes(const char* after, std::size_t maxBytes, std::vector<uint8_t>& bytes) {
        while (!AtEnd()) {
            const std::string token = Next();
            const std::optional<uint8_t> byte = ParseHexByte(token);
            if (!byte) {
                return Fail(Shown(token) + " is not a hex byte (00 to FF)");
            }
            bytes.push_back(*byte);
        }
        if (bytes.empty()) {
            return Fail(std::string("hex bytes expected after \"") + after + "\"");
        }
        if (bytes.size() > maxBytes) {
            return Fail(std::string("\"") + after + "\" takes at most " + std::to_string(maxBytes) +
                        " bytes");
        }
        return true;
    }

    bool LineStep(int64_t& time, std::vector<ScriptAction>& parsed) {
        if (AtEnd()) {
            return Fail("a line number 0..15 expected after \"line\"");
        }
        const std::string lineToken = Next();
        const std::optional<int> line = ParseInteger(lineToken, 0, kLines - 1);
        if (!line) {
            return Fail(Shown(lineToken) + " is not a line number 0..15");
        }
        const std::string word = Next();
        if (word == "lift" || word == "hangup" || word == "inductor" || word == "clear") {
            const ActionKind kind = word == "lift"       ? ActionKind::kLift
                                    : word == "hangup"   ? ActionKind::kHangUp
                                    : word == "inductor" ? ActionKind::kInductor
                                                         : ActionKind::kClear;
            parsed.push_back(Action(time, kind, *line, 0));
            return true;
        }
        if (word == "dial") {
            return Dial(*line, time, parsed);
        }
        if (word == "answer") {
            if (Peek() == "after") {
                Next();
                const std::optional<int64_t> after = Seconds("after");
                if (!after) {
                    return false;
                }
                time += *after;
            }
            parsed.push_back(Action(time, ActionKind::kAnswer, *line, 0));
            return true;
        }
        if (word == "talk") {
            const std::optional<int64_t> seconds = Seconds("talk");
            if (!seconds) {
                return false;
            }
            time += *seconds;
            return true;
        }
        if (word == "is") {
            const std::string state = Next();
            const int value = state == "down"       ? 0
                              : state == "lifted"   ? 1
                              : state == "reversed" ? 2
                                                    : -1;
            if (value < 0) {
                return Fail("down, lifted or reversed expected after \"is\"");
            }
            parsed.push_back(Action(time, ActionKind::kSetState, *line, value));
            return true;
        }
        if (word.empty()) {
            return Fail(
                "what the line does is missing (lift, hangup, dial, answer, clear, "
                "inductor, talk, is)");
        }
        return Fail("unknown line step " + Shown(word) +
                    ", expected lift, hangup, dial, answer, clear, inductor, talk or is");
    }

    bool Dial(int line, int64_t& time, std::vector<ScriptAction>& parsed) {
        if (AtEnd()) {
            return Fail("digits expected after \"dial\"");
        }
        const std::string digits = Next();
        if (digits.size() > kMaxDigits) {
            return Fail("at most " + std::to_string(kMaxDigits) + " digits can be dialled at once");
        }
        for (char c : digits) {
            if (c < '0' || c > '9') {
                return Fail(Shown(digits) + " is not a number to dial (digits 0..9)");
            }
        }
        int64_t pace = kDefaultDialPaceMs;
        if (Peek() == "pace") {
            Next();
            const std::optional<int64_t> seconds = Seconds("pace");
            if (!seconds) {
                return false;
            }
            pace = *seconds;
        }
        for (char c : digits) {
            time += pace;
            const int digit = c == '0' ? 10 : c - '0';
            parsed.push_back(Action(time, ActionKind::kDigit, line, digit));
        }
        return true;
    }

    bool Misbehave(int64_t time, std::vector<ScriptAction>& parsed) {
        const std::string word = Next();
        int value = 0;
        if (word == "noack" || word == "silent") {
            if (!OnOff(word == "noack" ? "noack" : "silent", value)) {
                return false;
            }
            parsed.push_back(
                Action(time, word == "noack" ? ActionKind::kNoAck : ActionKind::kSilent, 0, value));
            return true;
        }
        if (word == "corrupt") {
            const std::string token = Next();
            const std::optional<int> count = ParseInteger(token, 0, kMaxCount);
            if (!count) {
                return Fail(Shown(token) + " is not a count 0..1000");
            }
            parsed.push_back(Action(time, ActionKind::kCorrupt, 0, *count));
            return true;
        }
        if (word == "garbage") {
            std::vector<uint8_t> bytes;
            if (!HexBytes("garbage", kMaxGarbageBytes, bytes)) {
                return false;
            }
            parsed.push_back(Action(time, ActionKind::kGarbage, 0, 0, std::move(bytes)));
            return true;
        }
        return Fail("unknown misbehaviour " + Shown(word) +
                    ", expected noack, silent, corrupt or garbage");
    }

    const std::vector<std::string>& tokens_;
    std::size_t next_ = 0;
    int sourceLine_;
    int64_t& timeMs_;
    std::vector<ScriptAction>& actions_;
    std::string error_;
};

}  // namespace

std::string ScriptError::Text() const {
    return "line " + std::to_string(line) + ": " + message;
}

ScriptParse ParseKabScript(std::string_view text) {
    ScriptParse parse;
    int64_t timeMs = 0;
    int lineNumber = 0;
    bool more = !text.empty();
    while (more) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        more = end != std::string_view::npos;
        text = more ? text.substr(end + 1) : std::string_view();
        ++lineNumber;

        const std::vector<std::string> tokens = Tokens(line);
        if (tokens.empty()) {
            continue;
        }
        std::string error = StepParser(tokens, lineNumber, timeMs, parse.script.actions).Parse();
        if (error.empty()) {
            continue;
        }
        if (parse.errors.size() == kMaxScriptErrors) {
            parse.errors.push_back({lineNumber, "too many errors, the rest are not listed"});
            break;
        }
        parse.errors.push_back({lineNumber, std::move(error)});
    }
    parse.script.durationMs = timeMs;
    return parse;
}

}  // namespace miradel::kabsim
