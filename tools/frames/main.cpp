// miradel-frames: reads controller traffic (hex text or a raw serial capture) and prints each
// frame, rejected run and input error the way the controller debug view lists them; or
// encodes one command frame.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "HexInput.h"
#include "TrafficPrinter.h"
#include "controller/FrameCodec.h"
#include "controller/FrameDescription.h"

namespace {

using miradel::frames::InputError;

constexpr int kExitOk = 0;
constexpr int kExitCannotRead = 1;
constexpr int kExitBadInput = 2;

constexpr std::string_view kUsage =
    "usage: miradel-frames [FILE]             hex bytes from FILE (or stdin, also for \"-\")\n"
    "       miradel-frames --binary FILE      raw bytes, e.g. a serial capture\n"
    "       miradel-frames --encode \"3 4 2\"   frame for 1..13 decimal data bytes 0..255\n"
    "       miradel-frames --help\n"
    "\n"
    "Hex input: whitespace-separated bytes such as 7E or 0x7E; '#' starts a comment.\n"
    "Each frame, acknowledgement, rejected run (\"ERR -> ...\") and input error the\n"
    "receiver produces is printed on its own line; a frame whose checksum is wrong is\n"
    "marked \"  [bad checksum]\".\n"
    "Exit status: 0 done, 1 input cannot be read, 2 bad usage or bad input.\n";

int UsageError(std::string_view message) {
    std::cerr << "miradel-frames: " << message << "\n" << kUsage;
    return kExitBadInput;
}

int BadInput(const InputError& error) {
    std::cerr << "miradel-frames: ";
    if (error.line > 0) {
        std::cerr << "line " << error.line << ": ";
    }
    std::cerr << '"' << error.token << "\" " << error.reason << '\n';
    return kExitBadInput;
}

int CannotRead(std::string_view path) {
    std::cerr << "miradel-frames: cannot read " << path << '\n';
    return kExitCannotRead;
}

int Encode(std::string_view text) {
    const miradel::frames::DecimalBytes data = miradel::frames::ParseDecimalBytes(text);
    if (data.error) {
        return BadInput(*data.error);
    }
    if (data.bytes.empty() || data.bytes.size() > miradel::kMaxEncodedDataBytes) {
        std::cerr << "miradel-frames: --encode takes 1 to " << miradel::kMaxEncodedDataBytes
                  << " data bytes, got " << data.bytes.size() << '\n';
        return kExitBadInput;
    }
    const miradel::Frame frame = miradel::EncodeFrame(data.bytes);
    std::string hex;
    for (uint8_t byte : frame.Bytes()) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%.2X", byte);
        hex += hex.empty() ? "" : " ";
        hex += pair;
    }
    std::cout << hex << '\n'
              << miradel::DescribeFrame(frame, miradel::FrameDirection::kSent) << '\n';
    return kExitOk;
}

int DecodeHex(std::istream& in) {
    miradel::frames::TrafficPrinter printer(std::cout);
    const std::optional<InputError> error =
        miradel::frames::ReadHexBytes(in, [&](uint8_t byte) { printer.Feed(byte); });
    std::cout.flush();
    return error ? BadInput(*error) : kExitOk;
}

int DecodeHexPath(const std::string& path) {
    if (path == "-") {
        return DecodeHex(std::cin);
    }
    std::ifstream in(path);
    if (!in) {
        return CannotRead(path);
    }
    return DecodeHex(in);
}

int DecodeBinary(const std::string& path) {
    std::ifstream file;
    if (path != "-") {
        file.open(path, std::ios::binary);
        if (!file) {
            return CannotRead(path);
        }
    }
    std::istream& in = path == "-" ? std::cin : file;
    miradel::frames::TrafficPrinter printer(std::cout);
    for (std::istreambuf_iterator<char> it(in), end; it != end; ++it) {
        printer.Feed(static_cast<uint8_t>(*it));
    }
    return in.bad() ? CannotRead(path) : kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    const int args = argc - 1;
    const std::string_view first = args > 0 ? argv[1] : "";
    if (first == "--help" || first == "-h") {
        std::cout << kUsage;
        return kExitOk;
    }
    if (first == "--encode" || first == "--binary") {
        if (args != 2) {
            return UsageError(std::string(first) + " takes one argument");
        }
        return first == "--encode" ? Encode(argv[2]) : DecodeBinary(argv[2]);
    }
    if (args > 1) {
        return UsageError("too many arguments");
    }
    if (first.size() > 1 && first.starts_with("-")) {
        return UsageError("unknown option " + std::string(first));
    }
    return args == 0 ? DecodeHex(std::cin) : DecodeHexPath(argv[1]);
}
