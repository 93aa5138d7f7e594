#pragma once
// What the office owns, shared by the files that implement Office; not for other users.
#include <exception>

#include "app/AdvanceDialogActions.h"
#include "app/BoothBuilder.h"
#include "app/OperatorRegistration.h"
#include "app/StoreAdapters.h"
#include "app/config/StateFiles.h"
#include "app/log/OperatorLog.h"
#include "booths/BoothEvents.h"
#include "booths/BoothFactory.h"
#include "booths/BoothPictures.h"
#include "booths/BoothReceiptPrinter.h"
#include "booths/KabinaAvtomat.h"
#include "cashdesk/Kassa.h"
#include "controller/ControllerDebugModel.h"
#include "controller/ControllerExchange.h"
#include "controller/ExchangeDebugView.h"
#include "controller/PeriodicTask.h"
#include "printing/FiscalFlags.h"
#include "printing/FiscalPipeline.h"
#include "printing/PrintQueue.h"
#include "printing/raw/PrintJobQueue.h"
#include "printing/raw/PrinterConfig.h"
#include "store/TDMInfo.h"
#include "tariff/Trftor.h"

#include "app/MainMenu.h"
#include "app/Office.h"
#include "booths/NullBoothServices.h"
#include "cashdesk/KassaWindowModel.h"
#include "printing/FiscalCommands.h"

namespace miradel {

// The state indicator: remembers what it shows (the autonomous mark follows it) and passes
// everything on to the program's own display.
class StateIndicator final : public ProgramStatusSink {
  public:
    explicit StateIndicator(ProgramStatusSink& display) : display_(display) {}
    void ShowProgramState(std::string_view text, StateColour colour, bool abnormal) override {
        {
            std::lock_guard lock(mutex_);
            text_ = text;
            colour_ = colour;
            abnormal_ = abnormal;
        }
        display_.ShowProgramState(text, colour, abnormal);
    }
    void RaiseError(std::string_view text) override { display_.RaiseError(text); }
    void DisableWindowTimer() override {
        windowTimerDisabled_ = true;
        display_.DisableWindowTimer();
    }
    std::string Text() const {
        std::lock_guard lock(mutex_);
        return text_;
    }
    bool Abnormal() const {
        std::lock_guard lock(mutex_);
        return abnormal_;
    }
    StateColour Colour() const {
        std::lock_guard lock(mutex_);
        return colour_;
    }
    bool WindowTimerDisabled() const { return windowTimerDisabled_; }

  private:
    ProgramStatusSink& display_;
    mutable std::mutex mutex_;
    std::string text_;
    StateColour colour_ = StateColour::Black;
    bool abnormal_ = false;
    std::atomic<bool> windowTimerDisabled_{false};
};

// Everything the office owns, in the order it is built (and so torn down in reverse).
class OfficeCore {
  public:
    OfficeCore(const std::filesystem::path& dir, OfficeHost& host)
        : host_(host),
          indicator(host.status),
          operatorLog(
              dir / kOperatorLogName, host.clock,
              [this] { return int(config.Get(appcfg::kOperatorOnDuty)); }, host.prompt),
          env{host.clock, config, kabin, kassa, operatorLog, pictures, dir},
          saver(dir, config, kassa, kabin) {}

    OfficeHost& host_;
    AppConfig config{AppConfigData::Defaults()};
    KabinImage kabin;
    KassaImage kassa;
    StateIndicator indicator;
    OperatorLog operatorLog;
    AlwaysUsablePictures pictures;
    BoothEnvironment env;
    SaveTimer saver;
    ReceiptTexts texts;
    IncassTexts incass;

    std::unique_ptr<TRFTOR> tariffEngine;
    std::unique_ptr<TrftorTariffs> tariffs;
    std::unique_ptr<TDMInfo> dm;
    std::unique_ptr<StoreCallRecords> calls;
    std::unique_ptr<StorePasswordTable> passwords;
    std::unique_ptr<PrintJobQueue> printer;
    FiscalFlags fiscalFlags;
    std::unique_ptr<PrintQueue> fiscalQueue;
    std::unique_ptr<StoreFiscalProtocol> fiscalProtocol;
    std::unique_ptr<FiscalPipeline> fiscal;
    std::unique_ptr<BoothReceiptPrinter> receipts;

    std::unique_ptr<FiscalCommands> fiscalCommands;
    std::unique_ptr<CollectionPrinter> collectionPrinter;
    std::unique_ptr<KassaWindowModel> kassaWindow;

    std::unique_ptr<SerialPort> port;
    BoothArray booths;
    BoothRouter router{booths};
    ExchangeDebugView debug;
    std::unique_ptr<ControllerExchange> exchange;
    std::unique_ptr<ControllerDebugModel> debugModel;
    std::unique_ptr<ExchangeLine> line;
    NoTerminal terminal;
    NoDialog dialog;
    std::unique_ptr<BoothServices> services;
    std::unique_ptr<AdvanceDialogActions> actions;
    BoothFactory factory;
    std::array<bool, kBoothCount> restored{};
    int32_t restoredTotal = 0;

    std::unique_ptr<PeriodicTask> secondTick;
    std::unique_ptr<PeriodicTask> saveTick;

    // The last menu setup of the first tick (the LCD port is not opened by this office yet).
    MenuSetup menus;

    WriteRetryServices Retry() { return {dm->LastError(), operatorLog, host_.prompt}; }
};

// The cash window's printouts: the receipt printer job is awaited (the collection is booked
// only when it printed), a fiscal document only queued.
class OfficeCollectionPrinter final : public CollectionPrinter {
  public:
    // `whileWaiting` keeps the window alive while a slow printer takes its time (may be empty).
    OfficeCollectionPrinter(PrintJobQueue& printer, PrintQueue& fiscal, PrinterEncoding encoding,
                            std::function<void()> whileWaiting)
        : printer_(printer),
          fiscal_(fiscal),
          encoding_(encoding),
          whileWaiting_(std::move(whileWaiting)) {}
    bool PrintOnReceiptPrinter(const std::vector<std::string>& lines, std::string& error) override;
    void QueueFiscal(const std::vector<CollectionPrintRecord>& records) override;

  private:
    PrintJobQueue& printer_;
    PrintQueue& fiscal_;
    PrinterEncoding encoding_;
    std::function<void()> whileWaiting_;
};

}  // namespace miradel
