#include "printing/FiscalCommands.h"

#include "printing/FiscalDocuments.h"

namespace miradel {

bool FiscalMenuVisible(const AppConfig& config, const FiscalFlags& flags) {
    return config.Get(appcfg::kReceiptDevice) == kMercury114 && flags.workerRunning;
}

FiscalCommands::FiscalCommands(AppConfig& config, PrintQueue& queue, FiscalFlags& flags)
    : config_(config), queue_(queue), flags_(flags) {}

int32_t FiscalCommands::NextReceipt() const {
    return config_.Get(appcfg::kNextBoothReceipt);
}

void FiscalCommands::XReport() {
    const int32_t receipt = NextReceipt();
    FiscalDocument document;
    document.Command(kCheckXReport, receipt).End(receipt, config_);
    queue_.Push(document.Take());
}

bool FiscalCommands::ZReportCommand(OperatorPrompt& prompt) {
    const PromptAnswer answer =
        prompt.Ask({kZReportQuestion, kZReportCaption, PromptButtons::YesNo, PromptIcon::Question});
    if (answer != PromptAnswer::Yes) {
        return false;
    }
    ZReport();
    return true;
}

void FiscalCommands::ZReport() {
    const int32_t receipt = NextReceipt();
    FiscalDocument report;
    report.Command(kCheckZReport, receipt).End(receipt, config_);
    queue_.Push(report.Take());
    if (config_.Get(appcfg::kZReportTimeSync)) {
        FiscalDocument clock;
        clock.Command(kCheckSetClock, receipt).End(receipt, config_);
        queue_.Push(clock.Take());
    }
}

void FiscalCommands::CopyLastCheck(int operatorNumber) {
    FiscalDocument document;
    document.Command(kCheckCopyLast, NextReceipt(), operatorNumber).End(0, config_);
    queue_.Push(document.Take());
}

void FiscalCommands::OpenDrawer() {
    FiscalDocument document;
    document.Command(kCheckDrawer, 0);
    queue_.Push(document.Take());
}

void FiscalCommands::CancelTransaction() {
    flags_.cancelRequested = true;
}

void FiscalCommands::RegisterOperator(int operatorNumber) {
    if (config_.Get(appcfg::kReceiptDevice) != kMercury114) {
        return;
    }
    FiscalDocument document;
    document.Command(kCheckOpenDay, NextReceipt(), operatorNumber).End(0, config_);
    queue_.Push(document.Take());
}

}  // namespace miradel
