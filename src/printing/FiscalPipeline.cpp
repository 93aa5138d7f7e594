#include "printing/FiscalPipeline.h"

#include <utility>

#include "printing/FiscalCommands.h"
#include "printing/FiscalPlugin.h"
#include "printing/FiscalSettings.h"
#include "printing/M114F.h"
#include "printing/ThreadPrintCheck.h"

namespace miradel {

FiscalPipeline::FiscalPipeline(Dependencies deps) : deps_(std::move(deps)) {}

FiscalPipeline::~FiscalPipeline() {
    Stop();
    runner_.reset();  // before the worker it steps
    thread_.reset();
}

FiscalPipeline::StartResult FiscalPipeline::Fail(std::string text) {
    deps_.flags.linkFailed = true;
    if (deps_.onLinkFailure) {
        deps_.onLinkFailure();
    }
    return {false, std::move(text)};
}

FiscalPipeline::StartResult FiscalPipeline::Start() {
    if (worker_) {
        return {true, {}};
    }
    const int32_t device = deps_.config.Get(appcfg::kReceiptDevice);
    if (device != kMercury130 && device != kMercury114) {
        return {};  // receipts go to the receipt printer
    }
    deps_.flags.protocolOn = deps_.config.Get(appcfg::kFiscalProtocol);
    const int comPort = deps_.config.Get(appcfg::kComPortFiscal);
    const FiscalWorkerContext context{deps_.queue, deps_.flags, deps_.protocol, deps_.clock};

    std::string why;
    const auto setting =
        ReadFiscalDriverSetting(deps_.workDir, device == kMercury130 ? kM130Key : kM114Key, why);
    if (!setting) {
        return Fail(std::string(kPortOpenFailed) + "\n" + why);
    }
    const FiscalHostInfo host{deps_.workDir, setting->options};
    try {
        if (device == kMercury130) {
            M130PluginLoad load = LoadM130Plugin(setting->library, host);
            if (!load.driver) {
                return Fail(std::string(kPortOpenFailed) + "\n" + load.error);
            }
            auto worker = std::make_unique<PrintCheck>(context, std::move(load.driver), comPort);
            m130_ = worker.get();
            worker_ = std::move(worker);
        } else {
            M114PluginLoad load = LoadM114Plugin(setting->library, host);
            if (!load.component) {
                return Fail(std::string(kPortOpenFailed) + "\n" + load.error);
            }
            worker_ = std::make_unique<M114F>(context, std::move(load.component), deps_.prompt,
                                              comPort, deps_.config.Get(appcfg::kFiscalPassword));
        }
    } catch (const FiscalStartError& error) {
        m130_ = nullptr;
        return Fail(error.what());
    }

    if (deps_.scheduler) {
        runner_ = std::make_unique<FiscalWorkerRunner>(*deps_.scheduler, *worker_);
        runner_->Start();
    } else {
        thread_ = std::make_unique<FiscalThread>(*worker_);
        thread_->Start();
    }
    deps_.flags.workerRunning = true;
    return {true, {}};
}

bool FiscalPipeline::Running() const {
    return deps_.flags.workerRunning && !Stopped();
}

bool FiscalPipeline::M130ConnectionOpen() const {
    return m130_ && m130_->ConnectionOpen();
}

void FiscalPipeline::RequestStop() {
    if (thread_) {
        thread_->RequestStop();
    } else if (runner_) {
        runner_->RequestStop();
    }
}

bool FiscalPipeline::Stopped() const {
    if (thread_) {
        return thread_->Finished();
    }
    if (runner_) {
        return runner_->Finished();
    }
    return true;
}

void FiscalPipeline::Stop() {
    if (thread_) {
        thread_->Stop();
    } else if (runner_) {
        // A scheduler of the caller's: it runs the worker's end when it next runs.
        runner_->RequestStop();
    }
}

}  // namespace miradel
