#include "common/Cp1251.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace miradel {

namespace {

// Length of the well-formed UTF-8 sequence at the start of the text, or 0 when it does not
// start with one (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut off).
std::size_t WellFormedSequence(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;  // bounds of the second byte exclude overlongs and surrogates
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

std::size_t CharacterStep(std::string_view text) {
    const std::size_t length = WellFormedSequence(text);
    return length == 0 ? 1 : length;
}

// iconv_t keeps conversion state and must not be shared between threads, so every thread
// opens its own pair on first use.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            // Only a system without glibc's gconv modules gets here: an installation fault.
            throw std::system_error(errno, std::generic_category(),
                                    std::string("iconv_open ") + from + " -> " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input. Where iconv refuses a sequence, writes '?' and skips the
    // bytes skip() names (at least one). Returns false when anything was replaced.
    template <typename Skip>
    bool Run(std::string_view input, std::size_t outPerInByte, Skip skip, std::string& out) {
        out.clear();
        if (input.empty()) {
            return true;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // drop state a failed call may have left
        out.resize(input.size() * outPerInByte + 4);
        char* in = const_cast<char*>(input.data());  // iconv never writes through it
        std::size_t inLeft = input.size();
        std::size_t written = 0;
        bool lossless = true;
        for (;;) {
            char* outPtr = out.data() + written;
            std::size_t outLeft = out.size() - written;
            const std::size_t rc = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            const int error = errno;
            written = static_cast<std::size_t>(outPtr - out.data());
            if (rc != static_cast<std::size_t>(-1)) {
                lossless = lossless && rc == 0;  // a positive count means approximations
                break;
            }
            if (error == E2BIG || written == out.size()) {
                out.resize(out.size() * 2);
                continue;
            }
            if (inLeft == 0) {
                break;
            }
            // EILSEQ or EINVAL (a sequence cut off at the end): both are replaced.
            lossless = false;
            const std::string_view rest(in, inLeft);
            const std::size_t n = std::min(inLeft, std::max<std::size_t>(1, skip(rest)));
            in += n;
            inLeft -= n;
            out[written++] = '?';
        }
        out.resize(written);
        return lossless;
    }

  private:
    iconv_t cd_;
};

}  // namespace

std::string Cp1251ToUtf8(std::string_view cp1251) {
    thread_local Converter decoder("UTF-8", "CP1251");
    std::string utf8;
    // Every Windows-1251 character takes at most three UTF-8 bytes ('€', '№').
    decoder.Run(
        cp1251, 3, [](std::string_view) { return std::size_t{1}; }, utf8);
    return utf8;
}

Cp1251Encoded Utf8ToCp1251Checked(std::string_view utf8) {
    thread_local Converter encoder("CP1251", "UTF-8");
    Cp1251Encoded result;
    // A character the code page lacks is skipped whole; a malformed byte alone.
    result.lossless = encoder.Run(utf8, 1, CharacterStep, result.bytes);
    return result;
}

std::size_t Utf8Length(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < utf8.size(); pos += CharacterStep(utf8.substr(pos))) {
        ++count;
    }
    return count;
}

std::string_view Utf8Prefix(std::string_view utf8, std::size_t maxChars) {
    std::size_t pos = 0;
    for (std::size_t count = 0; count < maxChars && pos < utf8.size(); ++count) {
        pos += CharacterStep(utf8.substr(pos));
    }
    return utf8.substr(0, pos);
}

}  // namespace miradel
