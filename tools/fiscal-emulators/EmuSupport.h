#pragma once
// What both register emulators share: the state file, the paper tape, fault injection and the
// code pages of the texts they receive. The emulators stand alone: they use nothing of the
// program but the driver interface header, as a driver from an integrator would.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace miradel::emu {

std::string DecodeCp866(std::string_view bytes);
std::string DecodeCp1251(std::string_view bytes);
std::size_t Utf8Chars(std::string_view utf8);
std::string Trim(std::string_view text);
// Hundredths as "12.34" (a sign in front when negative).
std::string MoneyText(int64_t hundredths);
// The register's wall clock: the PC's local time moved by an offset in seconds.
std::string ClockText(int64_t offsetSeconds);
int64_t SecondsSinceEpochLocal(int year, int month, int day, int hour, int minute, int second);
int64_t NowLocalSeconds();

// key=value lines; a key may repeat to hold a list. Written atomically.
class StateFile {
  public:
    explicit StateFile(std::filesystem::path path) : path_(std::move(path)) {}

    void Load();
    bool Save() const;

    std::string Get(std::string_view key, std::string_view fallback = {}) const;
    int64_t GetInt(std::string_view key, int64_t fallback) const;
    std::vector<std::string> GetList(std::string_view key) const;
    void Set(std::string_view key, std::string_view value);
    void SetInt(std::string_view key, int64_t value);
    void SetList(std::string_view key, const std::vector<std::string>& values);

  private:
    std::filesystem::path path_;
    std::vector<std::pair<std::string, std::string>> entries_;
};

// The paper: every printed line, UTF-8, documents one after another with a separator.
class Tape {
  public:
    static constexpr const char* kSeparator = "------------------------------------------ ✂";

    explicit Tape(std::filesystem::path path) : path_(std::move(path)) {}
    void Line(std::string_view utf8);
    void Lines(const std::vector<std::string>& lines);
    void Separator() { Line(kSeparator); }

  private:
    std::filesystem::path path_;
};

struct FaultHit {
    int32_t code = 0;
    int32_t extended = 0;
    bool hardware = true;  // a register fault rather than a refused operation
};

struct FaultDefaults {
    int32_t offlineCode;
    int32_t offlineExtended;
    int32_t paperCode;
    int32_t paperExtended;
    int32_t unsupportedCode;
};

// The faults in force, from the driver's options, an environment variable and the control
// file (re-read on every call). One setting a line; in the options and the environment
// variable lines may also be separated by ';':
//   open fail                      the register does not answer when the connection opens
//   serial empty                   the register gives no serial number
//   offline                        the register stops answering every call
//   paper out [code [extended]]    printing fails until the line is removed
//   fail OP POS CODE [EXT [TIMES]] the POS-th call of OP (or of "any" call) fails with CODE,
//                                  and TIMES calls from there (default 1, 0: until removed)
//   unsupported OP                 OP is refused as not supported
//   NAME VALUE                     a setting (model, cutter)
// Call positions count from the moment the settings last changed.
class FaultControl {
  public:
    FaultControl(std::filesystem::path controlFile, std::string environmentName,
                 std::string options, FaultDefaults defaults);

    bool OpenFails();
    bool SerialEmpty();
    std::optional<int64_t> Setting(std::string_view name);
    // Counts one call of `op`; a fault when the call must fail. `prints`: the call puts ink
    // on paper, so a paper fault applies.
    std::optional<FaultHit> Check(std::string_view op, bool prints);

  private:
    struct Rule {
        std::string op;
        int64_t position = 1;
        int32_t code = 0;
        int32_t extended = 0;
        int64_t times = 1;
    };

    void Refresh();
    void Parse(const std::string& text);

    std::filesystem::path controlFile_;
    std::string environmentName_;
    std::string options_;
    FaultDefaults defaults_;
    std::string lastText_;
    bool parsed_ = false;

    bool openFails_ = false;
    bool serialEmpty_ = false;
    bool offline_ = false;
    std::optional<std::pair<int32_t, int32_t>> paperOut_;
    std::vector<Rule> rules_;
    std::vector<std::string> unsupported_;
    std::map<std::string, int64_t, std::less<>> settings_;
    std::map<std::string, int64_t, std::less<>> calls_;
    int64_t anyCalls_ = 0;
};

}  // namespace miradel::emu
