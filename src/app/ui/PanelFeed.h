#pragma once
// The booths as the main window sees them: a copy of every panel's view and snapshot that the
// engine thread publishes once a second (and at once after an operator's action), and that
// the window thread reads without waiting for the engine.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

#include "app/Office.h"
#include "booths/BoothSnapshot.h"
#include "booths/DisplayElement.h"
#include "common/ProgramStatus.h"
#include "common/Scheduler.h"

namespace miradel {

struct PanelFrame {
    std::array<BoothView, kBoothCount> views{};
    std::array<BoothSnapshot, kBoothCount> snapshots{};
    uint64_t serial = 0;  // 0: nothing published yet
};

class PanelFeed {
  public:
    void Publish(PanelFrame frame);
    PanelFrame Latest() const;
    uint64_t Serial() const;

  private:
    mutable std::mutex mutex_;
    PanelFrame frame_;
};

// Publishes the office's booths into a feed from the engine thread, every second.
class PanelPublisher {
  public:
    PanelPublisher(Office& office, Scheduler& scheduler, PanelFeed& feed);
    ~PanelPublisher();
    PanelPublisher(const PanelPublisher&) = delete;
    PanelPublisher& operator=(const PanelPublisher&) = delete;

    // Publishes once more as soon as the engine thread is free (any thread).
    void PublishSoon();
    // No publishing after this returns; call it before the office shuts down.
    void Stop();

  private:
    struct Shared;
    static void Tick(const std::shared_ptr<Shared>& shared, bool periodic);

    std::shared_ptr<Shared> shared_;
};

// The program state for the status bar: the engines report it on any thread, the window
// reads the latest.
class PublishedProgramStatus final : public ProgramStatusSink {
  public:
    struct State {
        std::string text;
        StateColour colour = StateColour::Black;
    };

    void ShowProgramState(std::string_view text, StateColour colour, bool abnormal) override;
    void RaiseError(std::string_view text) override;
    void DisableWindowTimer() override;

    State Latest() const;
    std::string LastError() const;

  private:
    mutable std::mutex mutex_;
    State state_{kStateLoading, StateColour::Black};
    std::string lastError_;
};

}  // namespace miradel
