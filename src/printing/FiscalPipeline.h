#pragma once
// Starting and stopping the fiscal worker chosen by "Чеки и отчеты на".
//
// Start (first main tick, after the login and the controller link): option 0 starts nothing;
// option 1 loads the 130Ф driver plug-in named in fiscal.cfg and starts PrintCheck, option 2
// the 114.1Ф one and M114F, each on a thread of its own at idle priority. A plug-in that is
// missing or unusable fails like an unreachable register: the link failure flag is raised,
// onLinkFailure is called (the office stops the controller link's sending and goes
// autonomous) and the error text, with a second line saying what was not found, is returned
// for the main window.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/config/AppConfig.h"
#include "common/Clock.h"
#include "common/OperatorPrompt.h"
#include "common/Scheduler.h"
#include "printing/FiscalFlags.h"
#include "printing/FiscalProtocolLog.h"
#include "printing/FiscalThread.h"
#include "printing/FiscalWorker.h"
#include "printing/PrintQueue.h"

namespace miradel {

class PrintCheck;

class FiscalPipeline {
  public:
    struct Dependencies {
        AppConfig& config;
        PrintQueue& queue;
        FiscalFlags& flags;
        FiscalProtocolLog& protocol;
        OperatorPrompt& prompt;  // the 114.1Ф worker's questions, asked on its thread
        const Clock& clock;
        std::filesystem::path workDir;
        std::function<void()> onLinkFailure;
        // Tests: step the worker on this scheduler instead of a thread of its own.
        Scheduler* scheduler = nullptr;
    };

    struct StartResult {
        bool started = false;
        std::string error;  // for the main window; empty when there is nothing to show
    };

    explicit FiscalPipeline(Dependencies deps);
    ~FiscalPipeline();  // Stop()

    StartResult Start();

    bool Running() const;
    // The exit question mentions an open 130Ф connection.
    bool M130ConnectionOpen() const;

    // Orderly exit: the worker ends after the record in hand, closing the register session
    // (ordinal 10 on the 130Ф) on its own thread. RequestStop returns at once; Stop waits.
    void RequestStop();
    bool Stopped() const;
    void Stop();

  private:
    StartResult Fail(std::string text);

    Dependencies deps_;
    std::unique_ptr<FiscalWorker> worker_;
    PrintCheck* m130_ = nullptr;  // worker_ when it is the 130Ф one
    std::unique_ptr<FiscalThread> thread_;
    std::unique_ptr<FiscalWorkerRunner> runner_;
};

}  // namespace miradel
