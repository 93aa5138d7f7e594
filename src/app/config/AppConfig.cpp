#include "app/config/AppConfig.h"

#include <algorithm>
#include <cstring>

#include "common/Cp1251.h"
#include "common/LittleEndian.h"

namespace miradel {

using namespace appcfg;

AppConfigData AppConfigData::Defaults() {
    AppConfigData d;
    d.Set(kComPortApp, 0);
    d.Set(kReserved4, 2);
    d.Set(kStartDelay, 1);
    d.Set(kStartDigit, 3);
    d.Set(kLocalMinimumMinutes, 1);
    d.Set(kFaxPagePrice, 100);
    d.Set(kFaxCoefficient, 2.0f);
    d.Set(kAroundSeriesPause, 10);
    d.Set(kAroundAnswerWait, 20);
    d.Set(kAroundPanel, -1);
    d.Set(kAroundHours, std::string(24, '0'));
    d.Set(kNextIncomingFax, 1);
    d.Set(kAroundAllowedCalls, int16_t{1});
    d.Set(kGsmPrefix, "0");
    d.Set(kInternationalPrefix, "010");
    d.Set(kAroundTestNumber, 2000000);
    d.Set(kAroundMessageFile, "around.waw");
    d.Set(kAroundPass, int16_t{1});
    d.Set(kAroundTableDate, std::string(32, '0'));
    d.Set(kVipPrefix, "01600");
    d.Set(kLastCollectedReceipt, 1);
    d.Set(kRemoteStationAddress, "127.0.0.1");
    d.Set(kStartByTimeSeconds, int16_t{20});
    d.Set(kComPortFiscal, 1);
    d.Set(kComPortLcd, 2);
    d.Set(kOrderSection, int16_t{1});
    d.Set(kOrderSectionName, "Заказ");
    d.Set(kIncomingFaxSection, int16_t{17});
    std::array<uint8_t, 16> lamps{};
    for (uint8_t i = 0; i < 16; ++i) {
        lamps[i] = i;
    }
    d.Set(kLampMap, lamps);
    d.Set(kShiftStartReceipt, 1);
    d.Set(kOperatorOnDuty, int16_t{1});
    d.Set(kExtraChargeGraceSeconds, 5);
    d.Set(kExtraChargePrice, 24);
    d.Set(kWorkplace, int16_t{1});
    d.Set(kFiscalPassword, "5826");
    d.Set(kIdleMaxSeconds, 180);
    d.Set(kProcessPriority, 1);
    return d;
}

AppConfigData AppConfigData::FromBytes(const Bytes& bytes) {
    AppConfigData d;
    d.bytes_ = bytes;
    return d;
}

int32_t AppConfigData::Get(I32 f) const {
    return ReadI32(&bytes_[f.offset]);
}
int16_t AppConfigData::Get(I16 f) const {
    return ReadI16(&bytes_[f.offset]);
}
uint8_t AppConfigData::Get(U8 f) const {
    return bytes_[f.offset];
}
bool AppConfigData::Get(Flag f) const {
    return bytes_[f.offset] != 0;
}
float AppConfigData::Get(F32 f) const {
    return ReadF32(&bytes_[f.offset]);
}

std::string AppConfigData::Get(Text f) const {
    const auto* begin = reinterpret_cast<const char*>(&bytes_[f.offset]);
    // A damaged file may hold no terminator: the field's width bounds the read.
    const std::size_t length = strnlen(begin, f.width);
    return Cp1251ToUtf8(std::string_view(begin, length));
}

std::string AppConfigData::Get(Chars f) const {
    return std::string(reinterpret_cast<const char*>(&bytes_[f.offset]), f.width);
}

std::array<uint8_t, 16> AppConfigData::Get(U8Array f) const {
    std::array<uint8_t, 16> values{};
    std::copy_n(&bytes_[f.offset], std::min<std::size_t>(f.count, 16), values.begin());
    return values;
}

void AppConfigData::Set(I32 f, int32_t value) {
    WriteI32(&bytes_[f.offset], value);
}
void AppConfigData::Set(I16 f, int16_t value) {
    WriteI16(&bytes_[f.offset], value);
}
void AppConfigData::Set(U8 f, uint8_t value) {
    bytes_[f.offset] = value;
}
void AppConfigData::Set(Flag f, bool value) {
    bytes_[f.offset] = value ? 1 : 0;
}
void AppConfigData::Set(F32 f, float value) {
    WriteF32(&bytes_[f.offset], value);
}

void AppConfigData::Set(Text f, std::string_view utf8) {
    std::string encoded = Utf8ToCp1251(utf8);
    // A zero byte inside the text would end it early on the next read; stop there now.
    encoded.resize(std::min(strnlen(encoded.c_str(), encoded.size()), std::size_t(f.width - 1)));
    std::fill_n(&bytes_[f.offset], f.width, uint8_t{0});
    std::memcpy(&bytes_[f.offset], encoded.data(), encoded.size());
}

void AppConfigData::Set(Chars f, std::string_view chars) {
    for (std::size_t i = 0; i < f.width; ++i) {
        bytes_[f.offset + i] = i < chars.size() ? static_cast<uint8_t>(chars[i]) : '0';
    }
}

void AppConfigData::Set(U8Array f, const std::array<uint8_t, 16>& values) {
    std::copy_n(values.begin(), std::min<std::size_t>(f.count, 16), &bytes_[f.offset]);
}

}  // namespace miradel
