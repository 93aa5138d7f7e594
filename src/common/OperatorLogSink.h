#pragma once
// Where subsystems report numbered operator-log events (hdop.log). The writer that turns an
// event number into its text comes with the operator log; until then, and in tests, any sink
// that records the numbers will do.

#include <mutex>
#include <string>
#include <vector>

namespace miradel {

class OperatorLogSink {
  public:
    virtual ~OperatorLogSink() = default;
    // `values` are what the event's further lines carry, in their order, already as text
    // (a receipt number, an amount as "12.05", a date typed by the operator ...).
    virtual void LogEvent(int event, std::vector<std::string> values = {}) = 0;
};

// Keeps every event in memory; safe to call from any thread.
class RecordingOperatorLog final : public OperatorLogSink {
  public:
    struct Entry {
        int event;
        std::vector<std::string> values;
    };

    void LogEvent(int event, std::vector<std::string> values = {}) override {
        std::lock_guard lock(mutex_);
        entries_.push_back({event, std::move(values)});
    }

    std::vector<Entry> Entries() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

}  // namespace miradel
