#pragma once
// app.cfg: the office's settings and running counters, an exact 632-byte little-endian image.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/config/AppConfigFields.h"
#include "app/config/SharedImage.h"

namespace miradel {

class AppConfigData {
  public:
    static constexpr std::size_t kSize = appcfg::kSize;
    using Bytes = std::array<uint8_t, kSize>;

    AppConfigData() = default;        // all bytes zero
    static AppConfigData Defaults();  // the image written when app.cfg is missing
    static AppConfigData FromBytes(const Bytes& bytes);

    const Bytes& bytes() const { return bytes_; }

    int32_t Get(appcfg::I32 f) const;
    int16_t Get(appcfg::I16 f) const;
    uint8_t Get(appcfg::U8 f) const;
    bool Get(appcfg::Flag f) const;
    float Get(appcfg::F32 f) const;
    std::string Get(appcfg::Text f) const;   // UTF-8
    std::string Get(appcfg::Chars f) const;  // the raw characters (ASCII digits in practice)
    std::array<uint8_t, 16> Get(appcfg::U8Array f) const;

    void Set(appcfg::I32 f, int32_t value);
    void Set(appcfg::I16 f, int16_t value);
    void Set(appcfg::U8 f, uint8_t value);
    void Set(appcfg::Flag f, bool value);
    void Set(appcfg::F32 f, float value);
    // UTF-8 in; stored in Windows-1251, cut to width - 1 characters, zero-filled to the end.
    void Set(appcfg::Text f, std::string_view utf8);
    // Exactly the field's width: shorter values are padded with '0', longer ones cut.
    void Set(appcfg::Chars f, std::string_view chars);
    void Set(appcfg::U8Array f, const std::array<uint8_t, 16>& values);

  private:
    Bytes bytes_{};
};

// The shared image with its dirty flag (see SharedImage).
using AppConfig = SharedImage<AppConfigData>;

}  // namespace miradel
