#pragma once
// The options of miradel-kabsim.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace miradel::kabsim {

struct CommandLine {
    bool help = false;
    bool pty = false;
    std::string device;  // --device PATH
    std::string script;  // --script FILE
    std::optional<int64_t> ackDelayMs;
    bool verbose = false;
    bool stay = false;       // keep acknowledging after the script
    bool waitStart = false;  // start the script when the office sends its start frame
};

struct CommandLineParse {
    CommandLine options;
    std::string error;  // empty when the arguments are fine
};

CommandLineParse ParseCommandLine(const std::vector<std::string_view>& args);

extern const std::string_view kUsage;

}  // namespace miradel::kabsim
