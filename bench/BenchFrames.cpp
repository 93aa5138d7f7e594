// Receiver throughput on a stream like a busy office's, and the cost of building a frame.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "controller/ControllerFrames.h"
#include "controller/FrameCodec.h"
#include "controller/FrameReceiver.h"

namespace {

using miradel::Frame;

void Append(std::vector<uint8_t>& stream, const Frame& frame) {
    stream.insert(stream.end(), frame.Bytes().begin(), frame.Bytes().end());
}

// Acknowledgements, line messages from all 16 lines and now and then a burst of line noise.
std::vector<uint8_t> OfficeTraffic(std::size_t size) {
    std::mt19937 random(7);
    std::vector<uint8_t> stream;
    while (stream.size() < size) {
        const auto line = static_cast<uint8_t>(random() % 16);
        switch (random() % 8) {
            case 0:
            case 1:
                Append(stream, miradel::AcknowledgementFrame());
                break;
            case 2:
                Append(stream, miradel::EncodeFrame({0x41, line}));
                break;
            case 3:
            case 4:
                Append(stream, miradel::EncodeFrame({0x43, line, uint8_t(1 + random() % 10)}));
                break;
            case 5:
                Append(stream, miradel::EncodeFrame({0x44, line}));
                break;
            case 6:
                Append(stream, miradel::EncodeFrame({0x45, line, uint8_t(random() % 3)}));
                break;
            default:
                for (unsigned i = random() % 20; i > 0; --i) {
                    stream.push_back(static_cast<uint8_t>(random() >> 24));
                }
                break;
        }
    }
    return stream;
}

void BM_FeedByte(benchmark::State& state) {
    const std::vector<uint8_t> stream = OfficeTraffic(64 * 1024);
    miradel::FrameReceiver receiver;
    std::size_t frames = 0;
    for (auto _ : state) {
        for (uint8_t byte : stream) {
            const miradel::ReceiveOutcome outcome = receiver.FeedByte(byte);
            frames += outcome.kind != miradel::ReceiveKind::kNothing;
        }
        benchmark::DoNotOptimize(frames);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}
BENCHMARK(BM_FeedByte);

void BM_EncodeFrame(benchmark::State& state) {
    uint8_t line = 0;
    for (auto _ : state) {
        Frame frame = miradel::EncodeFrame({3, line, 2});
        benchmark::DoNotOptimize(frame);
        line = static_cast<uint8_t>((line + 1) & 0x0F);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeFrame);

}  // namespace
