#include "app/Office.h"

#include "app/OfficeCore.h"

namespace miradel {

using namespace appcfg;

int MainWindowWidth(const KabinData& kabin) {
    auto enabled = [&kabin](int a, int b) {
        return kabin.Record(a).state != 0 || kabin.Record(b).state != 0;
    };
    if (enabled(14, 15)) {
        return 720;
    }
    if (enabled(12, 13)) {
        return 632;
    }
    if (enabled(10, 11)) {
        return 543;
    }
    return 525;
}

Office::Office(std::filesystem::path workDir, OfficeHost host)
    : workDir_(std::move(workDir)), host_(std::move(host)) {}

Office::~Office() {
    Shutdown();
}

std::optional<LoadError> Office::Start() {
    core_ = std::make_unique<OfficeCore>(workDir_, host_);
    OfficeCore& c = *core_;

    // The tariff engine comes first: without prices the office cannot run.
    TariffLoad tariffLoad = TRFTOR::Load(workDir_, host_.clock);
    if (tariffLoad.error) {
        return LoadError{tariffLoad.error->text, tariffLoad.error->detail};
    }
    c.tariffEngine = std::move(tariffLoad.engine);
    c.tariffs = std::make_unique<TrftorTariffs>(*c.tariffEngine);
    preferential_ = c.tariffEngine->DayMark() != '0';

    if (auto error = LoadKassa(workDir_, c.kassa)) {
        return error;
    }
    c.indicator.ShowProgramState(kStateLoading, StateColour::Black, false);
    std::vector<std::string> warnings;
    if (auto error = ReceiptTexts::Load(workDir_, c.texts, &warnings)) {
        return error;
    }
    IncassLoad incass = LoadIncassTexts(workDir_);
    if (incass.error) {
        return incass.error;
    }
    c.incass = std::move(incass.texts);
    warnings.insert(warnings.end(), incass.warnings.begin(), incass.warnings.end());
    for (const std::string& w : warnings) {
        if (host_.note) {
            host_.note(w);
        }
    }

    // app.cfg before the booths: a booth resumed at start-up reads its options and takes
    // receipt numbers from the real image, not from the defaults.
    const AppConfigLoad appLoad = LoadAppConfig(workDir_, c.config);
    defaultsCreated_ = appLoad.createdWithDefaults;
    for (const std::string* w : {&appLoad.warning, &appLoad.writeError}) {
        if (!w->empty() && host_.note) {
            host_.note(*w);
        }
    }

    try {
        c.dm = std::make_unique<TDMInfo>(
            workDir_, host_.clock,
            OfficeCounters{[&c] { return int(c.config.Get(kOperatorOnDuty)); },
                           [&c] {
                               return c.config.Modify([](AppConfigData& d) {
                                   const int32_t n = d.Get(kNextIncomingFax);
                                   d.Set(kNextIncomingFax, n + 1);
                                   return n;
                               });
                           },
                           [&c] { return Money(c.config.Get(kFaxPagePrice)); }});
    } catch (const std::exception& e) {
        return LoadError{"Error open database", e.what()};
    }
    c.calls = std::make_unique<StoreCallRecords>(*c.dm, c.Retry());
    c.passwords = std::make_unique<StorePasswordTable>(*c.dm);

    const PrinterConfigLoad printerLoad = LoadPrinterConfig(workDir_);
    for (const std::string& p : printerLoad.problems) {
        if (host_.note) {
            host_.note("printer.cfg: " + p);
        }
    }
    c.printer = std::make_unique<PrintJobQueue>(MakePrinterBackend(printerLoad.config, workDir_));
    c.fiscalQueue = std::make_unique<PrintQueue>(PrintQueue::Dependencies{
        c.indicator, c.operatorLog, [&c] { return c.indicator.Abnormal(); }});
    c.fiscalProtocol = std::make_unique<StoreFiscalProtocol>(*c.dm);
    c.fiscalFlags.protocolOn = c.config.Get(kFiscalProtocol);
    c.fiscal = std::make_unique<FiscalPipeline>(FiscalPipeline::Dependencies{
        c.config, *c.fiscalQueue, c.fiscalFlags, *c.fiscalProtocol, host_.prompt, host_.clock,
        workDir_, [this] { FiscalLinkFailed(); }, nullptr});
    c.receipts = std::make_unique<BoothReceiptPrinter>(
        BoothReceiptPrinter::Dependencies{c.texts, c.config, host_.clock, c.printer.get(),
                                          c.fiscalQueue.get(), printerLoad.config.encoding});

    c.fiscalCommands = std::make_unique<FiscalCommands>(c.config, *c.fiscalQueue, c.fiscalFlags);
    c.collectionPrinter = std::make_unique<OfficeCollectionPrinter>(
        *c.printer, *c.fiscalQueue, printerLoad.config.encoding, host_.whileWaiting);
    c.kassaWindow =
        std::make_unique<KassaWindowModel>(c.kassa, c.config, c.incass, c.texts.Text(15));

    c.port = host_.makePort(c.config.Get(kComPortApp));
    c.exchange = std::make_unique<ControllerExchange>(ControllerExchange::Dependencies{
        host_.scheduler, *c.port, c.router, c.indicator, c.operatorLog, host_.prompt, c.debug,
        nullptr, nullptr, nullptr});
    c.line = std::make_unique<ExchangeLine>(*c.exchange);
    c.services = std::make_unique<BoothServices>(
        BoothServices{*c.line, *c.tariffs, *c.calls, *c.receipts, c.terminal,
                      host_.dialog != nullptr ? *host_.dialog : c.dialog});
    c.actions = std::make_unique<AdvanceDialogActions>(
        AdvanceDialogActions::Dependencies{c.booths, *c.line, *c.dm, c.Retry(), c.config});
    c.factory.Register(kKindAvtomat, [&c](int panel, int16_t number, BoothEnvironment& env) {
        return std::make_unique<KabinaAvtomat>(panel, number, env, *c.services);
    });

    const KabinLoad kabinLoad = LoadKabin(workDir_, c.kabin);
    if (!kabinLoad.warning.empty() && host_.note) {
        host_.note(kabinLoad.warning);
    }
    OnEngine([&] {
        BuiltBooths built = BuildBooths(kabinLoad.opened, c.factory, c.env);
        c.booths = std::move(built.booths);
        c.restored = built.restored;
        c.restoredTotal = built.restoredTotal;
    });

    // The one-second booth tick runs from now on; it works the booths only once running.
    ticking_ = true;
    c.secondTick = std::make_unique<PeriodicTask>(
        host_.scheduler, 1000, kSecondTickFailed, [this] { SecondTick(); },
        [this] { return ticking_.load(); }, c.indicator);
    // The save timer shares the engine thread: a write takes a few milliseconds at most, and
    // the images need no other thread to be copied safely.
    c.saveTick = std::make_unique<PeriodicTask>(
        host_.scheduler, 500, kSaveTimerFailed, [&c] { c.saver.Fire(); },
        [this] { return ticking_.load(); }, c.indicator);
    const bool armed = OnEngine([&] { return c.secondTick->Start() && c.saveTick->Start(); });
    if (!armed) {
        return LoadError{kMainTimerFailed, "the scheduler refused the first tick"};
    }
    return std::nullopt;
}

void Office::SecondTick() {
    OfficeCore& c = *core_;
    preferential_ = c.tariffEngine->DayMark() != '0';
    if (phase_ == kPhaseRunning) {
        for (int panel = 0; panel < kBoothCount; ++panel) {
            c.router.RaiseBoothEvent(panel, kEventSecondTick, 0);
        }
        c.debug.ToggleSecondTick();
    }
}

void Office::MainTimerTick() {
    if (!core_ || core_->indicator.WindowTimerDisabled()) {
        return;  // autonomous mode stops the main window timer for good
    }
    if (fiscalFailed_ || core_->fiscalFlags.linkFailed) {
        OfficeCore& c = *core_;
        OnEngine([&c] { c.exchange->EnterAutonomous(kLinkStopFiscal); });
        c.indicator.ShowProgramState(kFiscalLinkLost, StateColour::Red, true);
        c.operatorLog.LogEvent(kEventStateError, {kFiscalLinkLost});
        return;
    }
    if (phase_ == kPhaseConstructed) {
        FirstTick();
    }
}

void Office::FirstTick() {
    OfficeCore& c = *core_;
    c.operatorLog.LogEvent(kEventProgramStart);
    phase_ = kPhaseFirstTick;

    if (defaultsCreated_) {
        host_.prompt.Ask(
            {kDefaultConfigWarning, kDefaultConfigCaption, PromptButtons::Ok, PromptIcon::Warning});
    }

    // After three failures the rest of the start-up still runs (see LoginProcedure).
    LoginProcedure();

    SetPriority();
    c.operatorLog.LogEvent(kEventOperatorLogin);

    if (!OnEngine([&c] { return c.exchange->StartExchange(); })) {
        return;  // the port is missing: the office stays inert in phase 1
    }

    const int device = c.config.Get(kReceiptDevice);
    if (device == kReceiptMercury130F || device == kReceiptMercury1141F) {
        const FiscalPipeline::StartResult fiscal = c.fiscal->Start();
        if (!fiscal.error.empty()) {
            host_.prompt.Ask({fiscal.error, "Error", PromptButtons::Ok, PromptIcon::Error});
        }
    }

    c.menus = MenuSetupFor(c.config, false);

    OnEngine([&c] {
        try {
            c.dm->tblInfo.Open();
            c.dm->tblEnterFax.Open();
        } catch (const std::exception&) {
            // the writers open their tables themselves and report through the retry loop
        }
    });

    for (int panel = 0; panel < kBoothCount; ++panel) {
        if (c.restored[panel]) {
            c.line->Queue({3, static_cast<uint8_t>(panel), 1});
        }
    }
    phase_ = kPhaseRunning;
    Kassa(c.kassa).Reconcile(c.restoredTotal);
    c.indicator.ShowProgramState(kStateNormalText, StateColour::Black, false);
}

LoginResult Office::LoginProcedure() {
    OfficeCore& c = *core_;
    const PasswordDialog noDialog = [] { return std::optional<std::string>(); };
    const LoginResult login =
        RunLoginProcedure(host_.askPassword ? host_.askPassword : noDialog, c.passwords.get(),
                          host_.prompt, host_.onLoginAttempt);
    if (login.LoggedIn()) {
        Login(login);
    } else {
        // Nobody is on duty now, so the exit asks nothing and saves nothing; an active
        // booth refuses it and the office goes on without an operator.
        operatorOnDuty_ = -1;
        closeRequested_ = RequestExit() == ExitOutcome::kClosing;
    }
    return login;
}

void Office::Login(const LoginResult& result) {
    OfficeCore& c = *core_;
    operatorOnDuty_ = result.operatorNo;
    notAdministrator_ = result.type;
    c.exchange->RequestStart();
    RecordShiftStart(c.config, result.operatorNo);
    RegisterOperatorAtRegister(c.config, *c.fiscalQueue, c.fiscalFlags, result.operatorNo);
}

LoginResult Office::LoginWith(std::string_view password) {
    if (!core_) {
        return {};
    }
    const LoginResult result = CheckPassword(password, core_->passwords.get(), host_.prompt);
    if (result.LoggedIn()) {
        Login(result);
        core_->operatorLog.LogEvent(kEventOperatorLogin);
    }
    return result;
}

void Office::FiscalLinkFailed() {
    fiscalFailed_ = true;
    if (core_ && core_->exchange) {
        core_->exchange->SetFiscalFailed(true);
    }
}

bool Office::TakeTemporaryPrivileges(std::string_view password) {
    if (!core_ || privileges_) {
        return false;
    }
    const LoginResult result = CheckPassword(password, core_->passwords.get(), host_.prompt);
    if (!result.LoggedIn() || result.type != 0 || notAdministrator_ == 0) {
        return false;
    }
    savedStateText_ = core_->indicator.Text();
    savedStateColour_ = core_->indicator.Colour();
    core_->indicator.ShowProgramState(kPrivilegesText, StateColour::Red,
                                      core_->indicator.Abnormal());
    core_->operatorLog.LogEvent(kEventStateError, {kPrivilegesText});
    notAdministrator_ = 0;
    privileges_ = true;
    return true;
}

void Office::DropTemporaryPrivileges() {
    if (!core_ || !privileges_) {
        return;
    }
    core_->indicator.ShowProgramState(savedStateText_, savedStateColour_,
                                      core_->indicator.Abnormal());
    notAdministrator_ = 1;
    privileges_ = false;
}

void Office::SetPriority() {
    const int level = core_->config.Get(kProcessPriority);
    const int normalised = level == 1 || level == 2 ? level : 0;
    if (host_.setPriority && !host_.setPriority(normalised)) {
        // A desktop user may not raise his priority; the office still runs, only warned.
        if (host_.note) {
            host_.note(kPriorityRefused);
        }
    }
}

ExitOutcome Office::RequestExit() {
    if (!core_) {
        return ExitOutcome::kClosing;
    }
    OfficeCore& c = *core_;
    for (const BoothSnapshot& s : Snapshots()) {
        const bool idle = s.state == 0 || s.state == 1 || (s.kind == kKindVinos && s.state == 2);
        if (!idle) {
            host_.prompt.Ask(
                {kBoothActive, kBoothActiveCaption, PromptButtons::Ok, PromptIcon::Warning});
            return ExitOutcome::kRefused;
        }
    }
    if (operatorOnDuty_ == -1) {
        return ExitOutcome::kClosing;
    }
    const bool m130 =
        c.config.Get(kReceiptDevice) == kReceiptMercury130F && c.fiscal->M130ConnectionOpen();
    const PromptAnswer answer =
        host_.prompt.Ask({m130 ? kExitQuestion130F : kExitQuestion, kExitQuestionCaption,
                          PromptButtons::OkCancel, PromptIcon::Question});
    if (answer != PromptAnswer::Ok && answer != PromptAnswer::Yes) {
        return ExitOutcome::kCancelled;
    }
    c.exchange->SetApplicationRunning(false);
    c.exchange->StopTimers();
    c.fiscal->Stop();  // closes a 130Ф session on the worker's own thread first
    OnEngine([&c] {
        try {
            c.dm->tblInfo.Close();
            c.dm->tblEnterFax.Close();
        } catch (const std::exception&) {
        }
    });
    if (!c.saver.SaveAll() && host_.note) {
        host_.note(c.saver.LastError());
    }
    c.operatorLog.LogEvent(kEventProgramEnd);
    return ExitOutcome::kClosing;
}

void Office::Shutdown() {
    if (!core_) {
        return;
    }
    ticking_ = false;
    OfficeCore& c = *core_;
    if (c.fiscal) {
        c.fiscal->Stop();  // its failure report reaches the exchange, which goes next
    }
    OnEngine([&c] {
        if (c.secondTick) {
            c.secondTick->Kill();
        }
        if (c.saveTick) {
            c.saveTick->Kill();
        }
        if (c.exchange) {
            c.exchange->SetApplicationRunning(false);
            c.exchange->StopTimers();
        }
        for (auto& booth : c.booths) {
            booth.reset();
        }
        c.debugModel.reset();
        c.exchange.reset();
        c.secondTick.reset();
        c.saveTick.reset();
    });
    core_.reset();
}

std::string Office::StateText() const {
    return core_ ? core_->indicator.Text() : std::string();
}

bool Office::Autonomous() const {
    return core_ && core_->indicator.Abnormal();
}

int32_t Office::RestoredTotal() const {
    return core_ ? core_->restoredTotal : 0;
}

std::array<bool, kBoothCount> Office::RestoredMarks() const {
    return core_ ? core_->restored : std::array<bool, kBoothCount>{};
}

std::string Office::Caption() const {
    if (operatorOnDuty_ == -1) {
        return "Пожалуйста подождите...";
    }
    std::string caption = "Работает оператор - " + std::to_string(operatorOnDuty_);
    if (core_ && core_->config.Get(kWriteAppLog)) {
        caption += " (ВНИМАНИЕ! Запись LOG!)";
    }
    return caption;
}

KassaData Office::KassaCopy() const {
    return core_->kassa.Copy();
}

AppConfig& Office::Config() {
    return core_->config;
}

BoothSnapshot Office::Snapshot(int panel) {
    return OnEngine([this, panel] {
        auto& booth = core_->booths.at(panel);
        return booth ? booth->GetInfo() : BoothSnapshot{};
    });
}

std::array<BoothSnapshot, kBoothCount> Office::Snapshots() {
    return OnEngine([this] {
        std::array<BoothSnapshot, kBoothCount> out{};
        for (int panel = 0; panel < kBoothCount; ++panel) {
            if (core_->booths[panel]) {
                out[panel] = core_->booths[panel]->GetInfo();
            }
        }
        return out;
    });
}

BoothView Office::ViewOf(int panel) {
    return OnEngine([this, panel] {
        auto& booth = core_->booths.at(panel);
        return booth ? booth->View() : BoothView{};
    });
}

void Office::ApplyAdvanceResult(int panel, int32_t result) {
    OnEngine([this, panel, result] { core_->actions->Apply(panel, result); });
}

void Office::AddAdvance(int panel, int32_t amount) {
    OnEngine([this, panel, amount] {
        if (auto& booth = core_->booths.at(panel)) {
            booth->AddAdvance(amount);
        }
    });
}

void Office::WithBooths(const std::function<void(BoothArray&)>& work) {
    OnEngine([this, &work] { work(core_->booths); });
}

}  // namespace miradel
