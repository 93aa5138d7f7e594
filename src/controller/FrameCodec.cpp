#include "controller/FrameCodec.h"

#include <algorithm>

namespace miradel {

namespace {

uint8_t ChecksumOf(std::span<const uint8_t> lengthAndData) {
    unsigned sum = 0;
    for (uint8_t byte : lengthAndData) {
        sum += byte;
    }
    return static_cast<uint8_t>(sum & 0xFF);
}

}  // namespace

Frame::Frame(std::span<const uint8_t> bytes) {
    size_ = std::min(bytes.size(), kFrameCapacity);
    std::copy_n(bytes.begin(), size_, bytes_.begin());
}

Frame::Frame(std::initializer_list<uint8_t> bytes)
    : Frame(std::span<const uint8_t>(bytes.begin(), bytes.size())) {}

bool Frame::Append(uint8_t byte) {
    if (size_ == kFrameCapacity) {
        return false;
    }
    bytes_[size_++] = byte;
    return true;
}

bool operator==(const Frame& a, const Frame& b) {
    return std::ranges::equal(a.Bytes(), b.Bytes());
}

Frame EncodeFrame(std::span<const uint8_t> data) {
    Frame frame;
    if (data.empty() || data.size() > kMaxEncodedDataBytes) {
        return frame;
    }
    frame.Append(kFrameStart);
    frame.Append(static_cast<uint8_t>(data.size() + 1));
    for (uint8_t byte : data) {
        frame.Append(byte);
    }
    frame.Append(ChecksumOf(frame.Bytes().subspan(1)));
    return frame;
}

Frame EncodeFrame(std::initializer_list<uint8_t> data) {
    return EncodeFrame(std::span<const uint8_t>(data.begin(), data.size()));
}

bool CheckFrame(const Frame& frame) {
    if (frame.Size() < kFrameOverhead || frame.Size() != std::size_t{frame.At(1)} + 2) {
        return false;
    }
    std::span<const uint8_t> bytes = frame.Bytes();
    return ChecksumOf(bytes.subspan(1, bytes.size() - 2)) == bytes.back();
}

std::span<const uint8_t> FrameData(const Frame& frame) {
    if (frame.Size() <= kFrameOverhead) {
        return {};
    }
    return frame.Bytes().subspan(2, frame.Size() - kFrameOverhead);
}

}  // namespace miradel
