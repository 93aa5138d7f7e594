#pragma once
// Prints whole jobs on a thread of its own, one after the other, so that neither the booth
// engine nor the window thread ever waits for a printer. Each job's outcome is given back
// through its future; a failed job also reports its error text to the failure handler.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "printing/raw/RawPrintJob.h"
#include "printing/raw/RawPrinterBackend.h"

namespace miradel {

class PrintJobQueue {
  public:
    // Runs on the printing thread; it must not wait for the thread that submits jobs.
    using FailureHandler = std::function<void(const RawJob& job, const std::string& error)>;

    explicit PrintJobQueue(std::unique_ptr<RawPrinterBackend> backend,
                           FailureHandler onFailure = {});
    // Prints what is still queued (each job is bounded by the printer's timeout), then stops.
    ~PrintJobQueue();
    PrintJobQueue(const PrintJobQueue&) = delete;
    PrintJobQueue& operator=(const PrintJobQueue&) = delete;

    std::future<PrintOutcome> Submit(RawJob job);

    // Waits until every job submitted before the call has been printed or has failed.
    void Drain();

    std::size_t Pending() const;  // queued or printing

  private:
    struct Entry {
        RawJob job;
        std::promise<PrintOutcome> done;
    };

    void Run();

    std::unique_ptr<RawPrinterBackend> backend_;
    FailureHandler onFailure_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Entry> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread worker_;  // last: starts after everything it uses exists
};

}  // namespace miradel
