// The main window's commands on the office: the facts its guards look at, the cash window,
// the collection, the fiscal menu, the controller commands and the booth settings.
#include <chrono>
#include <future>

#include "app/OfficeCore.h"
#include "app/options/MainOptionsFile.h"
#include "app/options/MainOptionsModel.h"
#include "booths/BoothKinds.h"

namespace miradel {

using namespace appcfg;

bool OfficeCollectionPrinter::PrintOnReceiptPrinter(const std::vector<std::string>& lines,
                                                    std::string& error) {
    RawJob job;
    job.lines = lines;
    job.settings.encoding = encoding_;
    std::future<PrintOutcome> printed = printer_.Submit(std::move(job));
    if (whileWaiting_) {
        while (printed.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
            whileWaiting_();
        }
    }
    const PrintOutcome outcome = printed.get();
    if (!outcome.ok) {
        error = outcome.error;
    }
    return outcome.ok;
}

void OfficeCollectionPrinter::QueueFiscal(const std::vector<CollectionPrintRecord>& records) {
    CheckQueue document;
    for (const CollectionPrintRecord& r : records) {
        auto record = std::make_unique<DataCheck>();
        record->command = static_cast<int16_t>(r.type);
        record->receiptNumber = r.number;
        record->text = r.text;
        if (r.type == CollectionPrintRecord::kEndOfDocument) {
            record->argument = r.feedLines;
            record->feedAndCut = r.feedAndCut ? 1 : 0;
        }
        document.Push(std::move(record));
    }
    fiscal_.Push(std::move(document));
}

GuardFacts Office::Facts() {
    GuardFacts facts;
    facts.administrator = notAdministrator_ == 0;
    facts.autonomous = Autonomous();
    facts.booths = Snapshots();
    return facts;
}

MenuSetup Office::Menus() const {
    return core_ ? core_->menus : MenuSetup{};
}

LoginResult Office::RunLogin() {
    if (!core_) {
        return {};
    }
    const LoginResult result = LoginProcedure();
    core_->operatorLog.LogEvent(kEventOperatorLogin);
    return result;
}

KassaWindowModel& Office::KassaWindow() {
    return *core_->kassaWindow;
}

CollectionPrinter& Office::CollectionOutput() {
    return *core_->collectionPrinter;
}

DeskState Office::Desk() const {
    DeskState desk;
    desk.administrator = notAdministrator_ == 0;
    desk.fiscalOnline = core_ && core_->fiscal && core_->fiscal->Running();
    return desk;
}

Money Office::UnclaimedTotal() {
    return OnEngine([this] { return OpenUnclaimedTotal(*core_->dm); });
}

void Office::CollectionBooked() {
    OfficeCore& c = *core_;
    c.operatorLog.LogEvent(kEventCollection, c.kassaWindow->OperatorLogValues());
    if (c.config.Get(kReceiptDevice) == kReceiptMercury1141F &&
        c.config.Get(kCollectionWithZReport)) {
        c.fiscalCommands->ZReport();
    }
}

FiscalCommands& Office::Fiscal() {
    return *core_->fiscalCommands;
}

bool Office::ZReportCommand() {
    return core_->fiscalCommands->ZReportCommand(host_.prompt);
}

void Office::DropCall() {
    const uint8_t command[] = {kDropCallCommand};
    core_->exchange->QueueFrame(command);
}

void Office::RestoreLink() {
    OfficeCore& c = *core_;
    OnEngine([&c] { c.exchange->RestoreLink(); });
    c.indicator.ShowProgramState(kStateNormalText, StateColour::Black, false);
}

int Office::ApplyBoothSettings(int panel, const BoothSettingsOutcome& outcome) {
    OfficeCore& c = *core_;
    if (outcome.aroundChanged) {
        c.config.Set(kAroundPanel, outcome.aroundPanel);
    }
    c.config.MarkDirty();
    OnEngine([&c, panel, &outcome] {
        c.booths.at(panel).reset();  // the old booth lets go of its panel first
        c.booths[panel] = c.factory.Create(outcome.kind, panel, outcome.boothNumber, c.env);
        RebuildKabinImage(c.booths, c.kabin);
    });
    return WindowWidth();
}

int Office::WindowWidth() const {
    return MainWindowWidth(core_->kabin.Copy());
}

int32_t Office::AroundPanel() {
    return core_->config.Get(kAroundPanel);
}

void Office::MainOptionsApplied(const AppConfigData& opened, const MainOptionsModel& window,
                                const MainOptionsSave& save) {
    if (!save.written) {
        return;  // no app.cfg: the changes are dropped with the window
    }
    OfficeCore& c = *core_;
    const AppConfigData typed = window.Apply(opened).config;
    c.config.Modify([&](AppConfigData& d) {
        const AppConfigData now = d;
        d = window.Apply(now).config;
        for (I32 counter : {kNextBoothReceipt, kNextIncomingFax, kNextOrderReceipt}) {
            if (typed.Get(counter) == opened.Get(counter)) {
                d.Set(counter, now.Get(counter));  // untouched: the booths' count goes on
            }
        }
    });
    c.config.MarkDirty();  // app.cfg on disk gets the counters back within half a second
    c.fiscalFlags.protocolOn = save.outcome.fiscalProtocol;
    c.menus.remoteAround = save.outcome.remoteAround;
    if (save.outcome.appLogSwitchedOn) {
        AppendAppLogSwitchOn(workDir_ / "app.log", host_.clock.Now());
    }
}

ControllerDebugModel& Office::DebugModel() {
    OfficeCore& c = *core_;
    if (!c.debugModel) {
        c.debugModel =
            std::make_unique<ControllerDebugModel>(host_.scheduler, *c.exchange, c.debug, c.router);
    }
    return *c.debugModel;
}

ExchangeDebugView& Office::DebugView() {
    return core_->debug;
}

TDMInfo& Office::Store() {
    return *core_->dm;
}

TRFTOR& Office::TariffEngine() {
    return *core_->tariffEngine;
}

void Office::RaiseBoothEvent(int panel, uint32_t event, int32_t argument) {
    OnEngine(
        [this, panel, event, argument] { core_->router.RaiseBoothEvent(panel, event, argument); });
}

}  // namespace miradel
