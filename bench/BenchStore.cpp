// Store figures: durable call-record appends, selections over a million INFO rows, purge and
// pack of half of them, and the file size per million rows. Run by hand:
//   bench_store --benchmark_filter=.   (the million rows take a while to generate once)

#include <SQLiteCpp/Transaction.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <memory>

#include "common/Clock.h"
#include "store/BDEUtil.h"
#include "store/Selection.h"
#include "store/TDMInfo.h"

namespace {

namespace fs = std::filesystem;
using miradel::LocalDateTime;

constexpr int kRows = 1'000'000;
constexpr int kSecondsApart = 17;  // about 5000 calls a day over some 200 days

fs::path MakeFolder(const char* stem) {
    std::string pattern = (fs::temp_directory_path() / (std::string(stem) + "-XXXXXX")).string();
    return fs::path(::mkdtemp(pattern.data()));
}

LocalDateTime Start() {
    LocalDateTime t;
    t.year = 2008;
    t.month = 1;
    t.day = 1;
    return t;
}

miradel::FinishedCall CallAt(int i, const LocalDateTime& start) {
    return {static_cast<int16_t>(i % 16 + 1), "0952" + std::to_string(100000 + i % 900000),
            60 + i % 900, 100 + i % 2000, start};
}

// One folder with a million INFO rows, made on first use and removed at exit.
class MillionRows {
  public:
    static MillionRows& Get() {
        static MillionRows rows;
        return rows;
    }
    const fs::path& Folder() const { return folder_; }
    std::uintmax_t FileBytes() const { return fileBytes_; }
    miradel::TDMInfo& Store() { return *dm_; }

  private:
    MillionRows() : folder_(MakeFolder("miradel-bench")), clock_(Start()) {
        {
            miradel::TDMInfo dm(folder_, clock_, {});
            miradel::Connection& conn = dm.tblInfo.connection();
            auto lock = conn.Lock();
            SQLite::Transaction transaction(conn.Db());
            miradel::VirtualClock calls(Start());
            for (int i = 0; i < kRows; ++i) {
                dm.WriteCallRecord(CallAt(i, calls.Now()), i + 1, 1 + i % 3, 5000, 1000, 250);
                calls.AdvanceMs(kSecondsApart * 1000);
            }
            transaction.commit();
        }
        fileBytes_ = fs::file_size(folder_ / "APPD.sqlite");
        dm_ = std::make_unique<miradel::TDMInfo>(folder_, clock_, miradel::OfficeCounters{});
    }
    ~MillionRows() {
        dm_.reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    fs::path folder_;
    miradel::VirtualClock clock_;
    std::uintmax_t fileBytes_ = 0;
    std::unique_ptr<miradel::TDMInfo> dm_;
};

void BM_DurableInfoAppend(benchmark::State& state) {
    const fs::path folder = MakeFolder("miradel-bench-append");
    {
        miradel::VirtualClock clock(Start());
        miradel::TDMInfo dm(folder, clock, {});
        int i = 0;
        for (auto _ : state) {
            benchmark::DoNotOptimize(
                dm.WriteCallRecord(CallAt(i, clock.Now()), i, 1, 5000, 1000, 250));
            ++i;
        }
        state.SetItemsProcessed(state.iterations());
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_DurableInfoAppend)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void WalkSelection(benchmark::State& state, const miradel::Selection& selection,
                   std::string_view index) {
    miradel::Table& info = MillionRows::Get().Store().tblInfo;
    info.Open();
    info.SelectIndex(index);
    int64_t rows = 0;
    for (auto _ : state) {
        info.SetSelection(selection);
        int64_t money = 0;
        rows = 0;
        for (info.First(); !info.Eof(); info.Next()) {
            money += info.FieldByName("AVANS").AsInteger();
            benchmark::DoNotOptimize(info.FieldByName("SUMMA").AsString());
            ++rows;
        }
        benchmark::DoNotOptimize(money);
    }
    state.counters["rows"] = static_cast<double>(rows);
    info.ClearSelection();
}

void BM_SelectOneDayByDate(benchmark::State& state) {
    WalkSelection(state,
                  miradel::Selection().InSpan(
                      miradel::ParseDateTimeSpan("15.03.2008", "00:00", "15.03.2008", "23:59")),
                  "INFO_DATE");
}
BENCHMARK(BM_SelectOneDayByDate)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SelectOneDayByReceiptRange(benchmark::State& state) {
    // The tickets of one day: 86400 / 17 calls, starting a few days in.
    WalkSelection(state, miradel::Selection::ReceiptRange("TICKET", "372600", "377682"), "TICKETS");
}
BENCHMARK(BM_SelectOneDayByReceiptRange)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PurgeHalfAndPack(benchmark::State& state) {
    const MillionRows& source = MillionRows::Get();
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path folder = MakeFolder("miradel-bench-purge");
        {
            miradel::TDMInfo& live = MillionRows::Get().Store();
            auto lock = live.APPD_MAIN().Lock();
            live.APPD_MAIN().Db().exec("PRAGMA wal_checkpoint(TRUNCATE)");
            fs::copy_file(source.Folder() / "APPD.sqlite", folder / "APPD.sqlite");
        }
        miradel::VirtualClock clock(Start());
        auto dm = std::make_unique<miradel::TDMInfo>(folder, clock, miradel::OfficeCounters{});
        state.ResumeTiming();

        // Half of the rows: 500,000 x 17 s after 1.1.2008 is 98.4 days, into 8.4.2008.
        const auto purgeStart = std::chrono::steady_clock::now();
        const miradel::PurgeResult purged = miradel::PurgeTable(dm->tblInfo, "07.04.2008");
        const auto packStart = std::chrono::steady_clock::now();
        const miradel::PackResult packed = miradel::PackTable(dm->tblInfo);
        const auto end = std::chrono::steady_clock::now();

        state.PauseTiming();
        state.counters["deleted"] = static_cast<double>(purged.deleted);
        state.counters["purge_s"] = std::chrono::duration<double>(packStart - purgeStart).count();
        state.counters["pack_s"] = std::chrono::duration<double>(end - packStart).count();
        state.counters["packed_MB"] =
            static_cast<double>(fs::file_size(folder / "APPD.sqlite")) / 1e6;
        if (!packed.ok) {
            state.SkipWithError(packed.detail.c_str());
        }
        dm.reset();
        fs::remove_all(folder);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PurgeHalfAndPack)->Unit(benchmark::kSecond)->Iterations(1);

void BM_DatabaseSizePerMillionRows(benchmark::State& state) {
    const MillionRows& rows = MillionRows::Get();
    for (auto _ : state) {
        benchmark::DoNotOptimize(rows.FileBytes());
    }
    state.counters["MB_per_million_rows"] =
        static_cast<double>(rows.FileBytes()) / 1e6 * (1'000'000.0 / kRows);
}
BENCHMARK(BM_DatabaseSizePerMillionRows)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
