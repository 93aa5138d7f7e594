#include "printing/raw/PrintJobQueue.h"

#include <gtest/gtest.h>

#include <mutex>

#include "common/AtomicFile.h"
#include "printing/raw/SpoolFolderBackend.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

RawJob JobOf(std::string line, std::string title = std::string(kRawJobTitle)) {
    RawJob job;
    job.lines = {std::move(line)};
    job.title = std::move(title);
    return job;
}

std::string FileBytes(const std::filesystem::path& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

TEST(PrintJobQueue, PrintsJobsInTheOrderTheyCame) {
    testing::TempDir dir;
    PrintJobQueue queue(std::make_unique<SpoolFolderBackend>(dir / "spool"));
    std::vector<std::future<PrintOutcome>> outcomes;
    for (const char* line : {"one", "two", "three"}) {
        outcomes.push_back(queue.Submit(JobOf(line)));
    }
    queue.Drain();
    EXPECT_EQ(queue.Pending(), 0u);
    for (auto& outcome : outcomes) {
        EXPECT_TRUE(outcome.get().ok);
    }
    SpoolFolderBackend reader(dir / "spool");
    EXPECT_EQ(FileBytes(reader.JobFile(1)), std::string("one\n\r\0", 6));
    EXPECT_EQ(FileBytes(reader.JobFile(3)), std::string("three\n\r\0", 8));
}

TEST(PrintJobQueue, AFailedJobReportsItsErrorAndTheNextJobStillPrints) {
    testing::TempDir dir;
    ASSERT_TRUE(AppendToFile(dir / "blocker", ""));
    std::mutex mutex;
    std::vector<std::pair<std::string, std::string>> failures;
    {
        PrintJobQueue failing(std::make_unique<SpoolFolderBackend>(dir / "blocker"),
                              [&](const RawJob& job, const std::string& error) {
                                  std::lock_guard lock(mutex);
                                  failures.emplace_back(job.title, error);
                              });
        auto first = failing.Submit(JobOf("a", "receipt 1"));
        auto second = failing.Submit(JobOf("b", "receipt 2"));
        failing.Drain();
        EXPECT_FALSE(first.get().ok);
        EXPECT_FALSE(second.get().ok);
    }
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].first, "receipt 1");
    EXPECT_NE(failures[0].second.find("blocker"), std::string::npos);

    PrintJobQueue none(nullptr);
    EXPECT_EQ(none.Submit(JobOf("x")).get().error, "No receipt printer is set up");
}

TEST(PrintJobQueue, JobsStillQueuedAtShutdownArePrinted) {
    testing::TempDir dir;
    {
        PrintJobQueue queue(std::make_unique<SpoolFolderBackend>(dir / "spool"));
        for (int i = 0; i < 5; ++i) {
            queue.Submit(JobOf("line"));
        }
    }
    EXPECT_TRUE(std::filesystem::exists(SpoolFolderBackend(dir / "spool").JobFile(5)));
}

}  // namespace
}  // namespace miradel
