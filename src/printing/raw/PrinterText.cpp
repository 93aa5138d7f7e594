#include "printing/raw/PrinterText.h"

#include <iconv.h>

#include <cerrno>
#include <system_error>

#include "common/Cp1251.h"

namespace miradel {

namespace {

// One character at a time, so that a character CP866 lacks costs exactly one '?'. iconv_t
// holds state and is not shared between threads: every thread opens its own.
class Cp866Encoder {
  public:
    Cp866Encoder() : cd_(iconv_open("CP866", "UTF-8")) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::system_error(errno, std::generic_category(), "iconv_open UTF-8 -> CP866");
        }
    }
    ~Cp866Encoder() { iconv_close(cd_); }
    Cp866Encoder(const Cp866Encoder&) = delete;
    Cp866Encoder& operator=(const Cp866Encoder&) = delete;

    void Append(std::string_view character, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[8];
        char* in = const_cast<char*>(character.data());  // iconv never writes through it
        std::size_t inLeft = character.size();
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
        const std::size_t written = sizeof buffer - outLeft;
        // A single-byte code page gives exactly one byte for a character it holds.
        if (rc == static_cast<std::size_t>(-1) || inLeft != 0 || written != 1) {
            out.push_back('?');
        } else {
            out.push_back(buffer[0]);
        }
    }

  private:
    iconv_t cd_;
};

}  // namespace

std::vector<std::string_view> SplitCharacters(std::string_view utf8) {
    std::vector<std::string_view> characters;
    while (!utf8.empty()) {
        const std::string_view one = Utf8Prefix(utf8, 1);
        characters.push_back(one);
        utf8.remove_prefix(one.size());
    }
    return characters;
}

std::string EncodeForPrinter(std::string_view utf8, PrinterEncoding encoding) {
    if (encoding == PrinterEncoding::kCp1251) {
        return Utf8ToCp1251(utf8);
    }
    thread_local Cp866Encoder encoder;
    std::string out;
    out.reserve(utf8.size());
    for (const std::string_view character : SplitCharacters(utf8)) {
        if (character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x80) {
            out.push_back(character[0]);
        } else {
            encoder.Append(character, out);
        }
    }
    return out;
}

}  // namespace miradel
