#include "app/ui/PanelFeed.h"

#include <utility>

namespace miradel {

inline constexpr int64_t kPublishPeriodMs = 1000;

void PanelFeed::Publish(PanelFrame frame) {
    std::lock_guard lock(mutex_);
    frame.serial = frame_.serial + 1;
    frame_ = std::move(frame);
}

PanelFrame PanelFeed::Latest() const {
    std::lock_guard lock(mutex_);
    return frame_;
}

uint64_t PanelFeed::Serial() const {
    std::lock_guard lock(mutex_);
    return frame_.serial;
}

struct PanelPublisher::Shared {
    Shared(Office& o, Scheduler& s, PanelFeed& f) : office(o), scheduler(s), feed(f) {}
    Office& office;
    Scheduler& scheduler;
    PanelFeed& feed;
    std::mutex mutex;  // held while publishing, so that Stop waits for a running one
    bool stopped = false;
};

PanelPublisher::PanelPublisher(Office& office, Scheduler& scheduler, PanelFeed& feed)
    : shared_(std::make_shared<Shared>(office, scheduler, feed)) {
    auto shared = shared_;
    scheduler.Post([shared] { Tick(shared, true); });
}

PanelPublisher::~PanelPublisher() {
    Stop();
}

void PanelPublisher::PublishSoon() {
    auto shared = shared_;
    shared->scheduler.Post([shared] { Tick(shared, false); });
}

void PanelPublisher::Stop() {
    std::lock_guard lock(shared_->mutex);
    shared_->stopped = true;
}

void PanelPublisher::Tick(const std::shared_ptr<Shared>& shared, bool periodic) {
    std::lock_guard lock(shared->mutex);
    if (shared->stopped) {
        return;
    }
    // On the engine thread the office reads its booths directly.
    PanelFrame frame;
    frame.snapshots = shared->office.Snapshots();
    for (int panel = 0; panel < kBoothCount; ++panel) {
        frame.views[panel] = shared->office.ViewOf(panel);
    }
    shared->feed.Publish(std::move(frame));
    if (periodic) {
        shared->scheduler.ScheduleAfter(kPublishPeriodMs, [shared] { Tick(shared, true); });
    }
}

void PublishedProgramStatus::ShowProgramState(std::string_view text, StateColour colour, bool) {
    std::lock_guard lock(mutex_);
    state_ = {std::string(text), colour};
}

void PublishedProgramStatus::RaiseError(std::string_view text) {
    std::lock_guard lock(mutex_);
    lastError_ = std::string(text);
}

void PublishedProgramStatus::DisableWindowTimer() {}

PublishedProgramStatus::State PublishedProgramStatus::Latest() const {
    std::lock_guard lock(mutex_);
    return state_;
}

std::string PublishedProgramStatus::LastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

}  // namespace miradel
