#include "CommandLine.h"

namespace miradel::kabsim {

const std::string_view kUsage =
    "usage: miradel-kabsim (--pty | --device PATH) [--script FILE] [--wait-start]\n"
    "                      [--ack-delay MS] [--stay] [--verbose]\n"
    "\n"
    "Plays the booth controller on a serial line: acknowledges the office's frames, answers\n"
    "line state questions and sends what the script's clients do.\n"
    "  --pty           create a pseudo-terminal; its device is the first line on stdout:\n"
    "                  \"PTY /dev/pts/N\"\n"
    "  --device PATH   use a serial device (9600 baud 8E1)\n"
    "  --script FILE   the clients' script (see docs/KABSIM.md)\n"
    "  --wait-start    start the script when the office sends its start frame\n"
    "  --ack-delay MS  wait MS milliseconds before each acknowledgement (default 2)\n"
    "  --stay          keep running after the script (default without a script)\n"
    "  --verbose       one line per frame in and out\n"
    "Exit status: 0 done, 1 the line cannot be opened, 2 bad usage or script,\n"
    "3 some message was never confirmed.\n";

namespace {

bool ParseMs(std::string_view text, int64_t& ms) {
    if (text.empty() || text.size() > 6) {
        return false;
    }
    ms = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        ms = ms * 10 + (c - '0');
    }
    return true;
}

}  // namespace

CommandLineParse ParseCommandLine(const std::vector<std::string_view>& args) {
    CommandLineParse parse;
    CommandLine& options = parse.options;
    auto fail = [&](std::string error) {
        parse.error = std::move(error);
        return parse;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--pty") {
            options.pty = true;
        } else if (arg == "--verbose" || arg == "-v") {
            options.verbose = true;
        } else if (arg == "--stay") {
            options.stay = true;
        } else if (arg == "--wait-start") {
            options.waitStart = true;
        } else if (arg == "--device" || arg == "--script" || arg == "--ack-delay") {
            if (!hasValue) {
                return fail(std::string(arg) + " needs a value");
            }
            const std::string_view value = args[++i];
            if (arg == "--device") {
                options.device = value;
            } else if (arg == "--script") {
                options.script = value;
            } else {
                int64_t ms = 0;
                if (!ParseMs(value, ms)) {
                    return fail("--ack-delay takes milliseconds 0..999999, not \"" +
                                std::string(value) + "\"");
                }
                options.ackDelayMs = ms;
            }
        } else {
            return fail("unknown argument \"" + std::string(arg) + "\"");
        }
    }
    if (options.help) {
        return parse;
    }
    if (options.pty == !options.device.empty()) {
        return fail("give either --pty or --device PATH");
    }
    return parse;
}

}  // namespace miradel::kabsim
