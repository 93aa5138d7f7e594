#pragma once
// The exchange engine wired to a scripted controller, all in virtual time.

#include <tuple>

#include "common/OperatorLogSink.h"
#include "common/OperatorPrompt.h"
#include "common/ProgramStatus.h"
#include "common/Scheduler.h"
#include "controller/ControllerExchange.h"
#include "controller/FakeControllerPort.h"

namespace miradel::testing {

class RecordingBooths final : public BoothEventSink {
  public:
    void RaiseBoothEvent(int panel, uint32_t event, int32_t argument) override {
        events.emplace_back(panel, event, argument);
    }
    std::vector<std::tuple<int, uint32_t, int32_t>> events;
};

struct ExchangeRig {
    VirtualClock clock;
    VirtualScheduler scheduler{clock};
    FakeControllerPort port{clock};
    RecordingBooths booths;
    RecordingProgramStatus status;
    RecordingOperatorLog log;
    ScriptedPrompt prompt{PromptAnswer::Ok};
    ExchangeDebugView debug;
    ControllerExchange exchange{
        {scheduler, port, booths, status, log, prompt, debug, nullptr, nullptr, nullptr}};

    // Opens the line, requests the start and lets the start frame be acknowledged.
    void StartLink() {
        exchange.StartExchange();
        exchange.RequestStart();
        scheduler.RunFor(20);
    }
    void Run(int64_t ms) { scheduler.RunFor(ms); }
};

}  // namespace miradel::testing
