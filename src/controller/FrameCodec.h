#pragma once
// The frame on the controller line, the same in both directions:
//   7E, length L, data bytes (code first, then its arguments), checksum.
// L counts the data bytes plus the checksum; the checksum is the low 8 bits of L plus the data.
// There is no escaping: 7E inside a frame is plain data.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

namespace miradel {

inline constexpr uint8_t kFrameStart = 0x7E;
// Every frame buffer on the link holds 16 bytes.
inline constexpr std::size_t kFrameCapacity = 16;
// Start, length and checksum around the data bytes.
inline constexpr std::size_t kFrameOverhead = 3;
// The most data bytes we put into one frame (a full 16-byte buffer).
inline constexpr std::size_t kMaxEncodedDataBytes = kFrameCapacity - kFrameOverhead;

// Up to 16 bytes of the line, kept by value: a whole frame, or a run of rejected input.
class Frame {
  public:
    Frame() = default;
    // Copies the bytes; anything past 16 bytes is cut off.
    explicit Frame(std::span<const uint8_t> bytes);
    Frame(std::initializer_list<uint8_t> bytes);

    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    std::span<const uint8_t> Bytes() const { return {bytes_.data(), size_}; }
    // The byte at index, or 0 past the end.
    uint8_t At(std::size_t index) const { return index < size_ ? bytes_[index] : 0; }

    // Appends one byte; false (and nothing changes) when the frame is full.
    bool Append(uint8_t byte);
    void Clear() { size_ = 0; }

    friend bool operator==(const Frame& a, const Frame& b);

  private:
    std::array<uint8_t, kFrameCapacity> bytes_{};
    std::size_t size_ = 0;
};

// Builds the frame for 1..13 data bytes (n + 3 bytes). Any other count gives an empty frame.
Frame EncodeFrame(std::span<const uint8_t> data);
Frame EncodeFrame(std::initializer_list<uint8_t> data);

// True when the frame is as long as its length byte says and its last byte is the low 8 bits
// of the sum of the length byte and the data bytes. The start byte is not looked at.
bool CheckFrame(const Frame& frame);

// The data bytes of a frame (code first): everything between the length byte and the checksum.
// Empty for a frame too short to have any.
std::span<const uint8_t> FrameData(const Frame& frame);

}  // namespace miradel
