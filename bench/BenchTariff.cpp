// Loading a large tariff set, and pricing numbers spread over it: the engine's indexed lookups
// side by side with the plain walks of the lists they replace. Every lookup is also counted
// for heap allocations, which must stay at zero.
//
//   bench_tariff                     runs the benchmarks on a freshly generated set
//   bench_tariff --write-set=DIR     only writes the set into DIR (to try miradel-tariff on it)

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "TariffSetGenerator.h"
#include "common/Clock.h"
#include "tariff/FirstMatchIndex.h"
#include "tariff/LinearLookup.h"
#include "tariff/Trftor.h"
#include "tariff/ZoneIndex.h"

// Every heap allocation of the program is counted. The replacements are kept out of line so
// that the compiler pairs each delete with its new, not the free inside with the malloc.
namespace {
std::atomic<uint64_t> gAllocations{0};
}

[[gnu::noinline]] void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new[](std::size_t size) {
    return operator new(size);
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete[](void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using miradel::TRFTOR;

// A wall clock that costs nothing to read, so the figures are the engine's own.
class FixedClock final : public miradel::Clock {
  public:
    miradel::LocalDateTime Now() const override { return {2024, 5, 14, 14, 5, 0, 0, 2}; }
    int64_t MonotonicMs() const override { return 0; }
};

struct Fixture {
    std::filesystem::path folder;
    std::vector<std::string> numbers;
    FixedClock clock;
    miradel::SystemClock systemClock;
    std::unique_ptr<TRFTOR> engine;
};

Fixture* gFixture = nullptr;

std::unique_ptr<TRFTOR> LoadOrDie(const std::filesystem::path& folder,
                                  const miradel::Clock& clock) {
    miradel::TariffLoad load = TRFTOR::Load(folder, clock);
    if (!load.engine) {
        std::fprintf(stderr, "%s\n%s\n", load.error->text.c_str(), load.error->detail.c_str());
        std::exit(1);
    }
    return std::move(load.engine);
}

void BM_Load(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadOrDie(gFixture->folder, gFixture->clock));
    }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The share of the load spent building the indexes, which the plain walks do without.
void BM_BuildIndexes(benchmark::State& state) {
    const TRFTOR& engine = *gFixture->engine;
    for (auto _ : state) {
        miradel::FirstMatchIndex prefixes;
        for (const miradel::Prefx& p : engine.Prefixes()) {
            prefixes.Add(p.text);
        }
        std::vector<miradel::FirstMatchIndex> codes(miradel::kZoneFiles);
        std::vector<miradel::ZoneIndex> zones(miradel::kZoneFiles);
        for (int n = 0; n < miradel::kZoneFiles; ++n) {
            for (const miradel::KZona& k : engine.Codes(n)) {
                codes[n].Add(k.code);
            }
            for (const miradel::ZonaTarif& t : engine.Tariffs(n)) {
                zones[n].Add(t.zone);
            }
            zones[n].Seal();
        }
        benchmark::DoNotOptimize(codes.data());
        benchmark::DoNotOptimize(zones.data());
    }
}
BENCHMARK(BM_BuildIndexes)->Unit(benchmark::kMillisecond);

// Runs one lookup per iteration over the sample numbers and reports allocations per lookup.
template <typename Lookup>
void RunLookups(benchmark::State& state, Lookup lookup) {
    const std::vector<std::string>& numbers = gFixture->numbers;
    std::size_t i = 0;
    int64_t priced = 0;
    const uint64_t allocationsBefore = gAllocations.load();
    for (auto _ : state) {
        const int32_t price = lookup(std::string_view(numbers[i]));
        benchmark::DoNotOptimize(price);
        priced += price >= 0 ? 1 : 0;
        i = i + 1 == numbers.size() ? 0 : i + 1;
    }
    const uint64_t allocations = gAllocations.load() - allocationsBefore;
    state.counters["allocs_per_lookup"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    state.counters["priced_share"] =
        benchmark::Counter(static_cast<double>(priced), benchmark::Counter::kAvgIterations);
}

void BM_TariffNow(benchmark::State& state) {
    const TRFTOR& engine = *gFixture->engine;
    RunLookups(state, [&](std::string_view d) { return engine.TariffNow(d); });
}
BENCHMARK(BM_TariffNow);

void BM_TariffNowLinear(benchmark::State& state) {
    const TRFTOR& engine = *gFixture->engine;
    const miradel::Clock& clock = gFixture->clock;
    RunLookups(state,
               [&](std::string_view d) { return miradel::LinearTariffNow(engine, clock, d); });
}
BENCHMARK(BM_TariffNowLinear);

void BM_FindPrefix(benchmark::State& state) {
    const TRFTOR& engine = *gFixture->engine;
    RunLookups(state, [&](std::string_view d) { return engine.FindPrefix(d) ? 1 : -1; });
}
BENCHMARK(BM_FindPrefix);

void BM_FindPrefixLinear(benchmark::State& state) {
    const TRFTOR& engine = *gFixture->engine;
    RunLookups(state,
               [&](std::string_view d) { return miradel::LinearFindPrefix(engine, d) ? 1 : -1; });
}
BENCHMARK(BM_FindPrefixLinear);

// As the office runs it: the hour and date come from the PC's clock.
void BM_TariffNowSystemClock(benchmark::State& state) {
    static const std::unique_ptr<TRFTOR> engine =
        LoadOrDie(gFixture->folder, gFixture->systemClock);
    RunLookups(state, [&](std::string_view d) { return engine->TariffNow(d); });
}
BENCHMARK(BM_TariffNowSystemClock);

std::filesystem::path MakeTempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "miradel-bench-tariff-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    return pattern;
}

}  // namespace

int main(int argc, char** argv) {
    constexpr std::string_view kWriteSet = "--write-set=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with(kWriteSet)) {
            const std::filesystem::path folder(arg.substr(kWriteSet.size()));
            std::filesystem::create_directories(folder);
            miradel::bench::WriteTariffSet(folder, {}, 0);
            std::printf("tariff set written to %s\n", folder.c_str());
            return 0;
        }
    }

    Fixture fixture;
    fixture.folder = MakeTempFolder();
    fixture.numbers = miradel::bench::WriteTariffSet(fixture.folder, {}, 4096);
    fixture.engine = LoadOrDie(fixture.folder, fixture.clock);
    gFixture = &fixture;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::error_code ignored;
    std::filesystem::remove_all(fixture.folder, ignored);
    return 0;
}
