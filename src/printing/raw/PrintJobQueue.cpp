#include "printing/raw/PrintJobQueue.h"

#include <exception>

namespace miradel {

PrintJobQueue::PrintJobQueue(std::unique_ptr<RawPrinterBackend> backend, FailureHandler onFailure)
    : backend_(std::move(backend)), onFailure_(std::move(onFailure)), worker_([this] { Run(); }) {}

PrintJobQueue::~PrintJobQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

std::future<PrintOutcome> PrintJobQueue::Submit(RawJob job) {
    Entry entry{std::move(job), {}};
    std::future<PrintOutcome> outcome = entry.done.get_future();
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(entry));
    }
    wake_.notify_one();
    return outcome;
}

void PrintJobQueue::Drain() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

std::size_t PrintJobQueue::Pending() const {
    std::lock_guard lock(mutex_);
    return queue_.size() + (busy_ ? 1 : 0);
}

void PrintJobQueue::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            return;  // stopping, and nothing left to print
        }
        Entry entry = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();

        PrintOutcome outcome;
        // Nothing a job does may end the printing thread: the next receipt still prints.
        try {
            if (backend_) {
                outcome = RunPrintJob(*backend_, entry.job);
            } else {
                outcome.error = "No receipt printer is set up";
            }
        } catch (const std::exception& e) {
            outcome.ok = false;
            outcome.error = e.what();
        }
        if (!outcome.ok && onFailure_) {
            try {
                onFailure_(entry.job, outcome.error);
            } catch (...) {
                // the handler's own trouble is not the printer's
            }
        }
        entry.done.set_value(std::move(outcome));

        lock.lock();
        busy_ = false;
        if (queue_.empty()) {
            idle_.notify_all();
        }
    }
}

}  // namespace miradel
