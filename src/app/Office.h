#pragma once
// The office without its windows: it owns the state-file images, the booths, the store, the
// tariff engine, the controller exchange, the receipt printer and the operator log, and runs
// the life of the process: construction (the start-up files), the first tick of the main
// timer (login, priority, controller link, restored booths, till reconciliation), the
// one-second booth tick, the 500 ms save timer, the program state and the orderly exit.
//
// Threads: the caller is the window thread. Everything that touches a booth or the exchange
// runs on the scheduler's thread (the engine thread); the office posts it there and waits.
// With a VirtualScheduler both are the test's thread.
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>

#include "app/BoothCommands.h"
#include "app/BoothWiring.h"
#include "app/Login.h"
#include "app/MainMenu.h"
#include "app/config/AppConfig.h"
#include "app/config/FixedLineFile.h"
#include "app/config/KabinCfg.h"
#include "app/config/KassaDat.h"
#include "app/config/LoadError.h"
#include "booths/BoothServices.h"
#include "booths/BoothSnapshot.h"
#include "cashdesk/KassaWindowModel.h"
#include "common/Clock.h"
#include "common/OperatorPrompt.h"
#include "common/ProgramStatus.h"
#include "common/Scheduler.h"
#include "controller/SerialPort.h"

namespace miradel {

inline constexpr const char* kStateLoading = "Загрузка программы ...";
inline constexpr const char* kStateNormalText = "Состояние программы - Норма";
inline constexpr const char* kDefaultConfigWarning = "ВНИМАНИЕ! АПП конфигурируется по умолчанию!!";
inline constexpr const char* kDefaultConfigCaption = "Error open file app.cfg";
inline constexpr const char* kPriorityRefused = "Error Set Priority!";
inline constexpr const char* kMainTimerFailed = "Error Set Main Timer Task!";
inline constexpr const char* kSecondTickFailed = "Ошибка 1с таймера!";
inline constexpr const char* kSaveTimerFailed = "Save timer stopped: the scheduler refused it";
inline constexpr const char* kBoothActive = "Одна из кабин активна!";
inline constexpr const char* kBoothActiveCaption = "Error Close";
inline constexpr const char* kExitQuestion = "Завершить приложение?";
inline constexpr const char* kExitQuestion130F =
    "Завершить приложение\n и отключить ККМ от компьютера?";
inline constexpr const char* kExitQuestionCaption = "Подтвердите выход";
inline constexpr const char* kFiscalLinkLost = "Ошибка связи с ККМ! Режим - Автоном!";
inline constexpr const char* kPrivilegesText = "Временные привилегии администратора";

// Operator log events of the office's life.
inline constexpr int kEventProgramStart = 0;
inline constexpr int kEventProgramEnd = 1;
inline constexpr int kEventOperatorLogin = 2;
inline constexpr int kEventStateError = 3;

// Start-up phases.
inline constexpr int kPhaseConstructed = 0;
inline constexpr int kPhaseFirstTick = 1;
inline constexpr int kPhaseRunning = 255;

// What the program around the office provides.
struct OfficeHost {
    Scheduler& scheduler;
    const Clock& clock;
    OperatorPrompt& prompt;
    ProgramStatusSink& status;  // the state indicator and the timer-context errors
    // The booth controller's port for the configured COM index (app.cfg offset 0).
    std::function<std::unique_ptr<SerialPort>(int comIndex)> makePort;
    PasswordDialog askPassword;  // the "Паспорт" dialog; empty: always "Отмена"
    // Sets the process priority (0 normal, 1 high, 2 real time); false when refused. Empty:
    // nothing is changed and nothing refused.
    std::function<bool(int level)> setPriority;
    // Warnings for the engineer that need no answer.
    std::function<void(const std::string&)> note;
    // Every login attempt's result (may be empty).
    std::function<void(const LoginResult&)> onLoginAttempt;
    // Called again and again while the window thread waits for the engine thread: the
    // window answers the engine's questions from here, so that a question asked while the
    // window waits cannot stall both. Empty: a plain wait.
    std::function<void()> whileWaiting;
    // The open advance dialog as the booths see it (digits, refresh, close), called on the
    // engine thread. Null: a dialog that hears nothing.
    AdvanceDialogLink* dialog = nullptr;
};

enum class ExitOutcome {
    kRefused,    // a booth is active: nothing changes, nothing waits
    kCancelled,  // the operator chose Cancel
    kClosing,    // the office has saved and may close (after its one-second wait)
};

class OfficeCore;
class FiscalCommands;
class ControllerDebugModel;
class ExchangeDebugView;
class TRFTOR;
class TDMInfo;
class MainOptionsModel;
struct MainOptionsSave;

inline constexpr int kEventCollection = 4;
inline constexpr uint8_t kDropCallCommand = 0x09;

// The main window's width for the booths of kabin.cfg: the rightmost enabled panel decides.
int MainWindowWidth(const KabinData& kabin);

class Office {
  public:
    Office(std::filesystem::path workDir, OfficeHost host);
    ~Office();
    Office(const Office&) = delete;
    Office& operator=(const Office&) = delete;

    // Construction: kassa.dat, tariffs, ticket.cfg, avans.cfg, app.cfg, kabin.cfg and the
    // booths, the store, the one-second tick and the save timer. The error ends the process.
    std::optional<LoadError> Start();

    // The main window timer (every second): the first call runs the start-up work.
    void MainTimerTick();

    // A fiscal worker could not reach its register (any thread): the next main tick puts the
    // controller link into autonomous mode.
    void FiscalLinkFailed();

    // A shift change ("Смена") or an explicit login with a typed password: one dialog
    // attempt, and on success operator log event 2.
    LoginResult LoginWith(std::string_view password);

    // "Временные привилегии" on: only an administrator's password, and only for an operator
    // without administrator rights; true when the rights were taken. Off always leaves
    // operator rights.
    bool TakeTemporaryPrivileges(std::string_view password);
    void DropTemporaryPrivileges();
    bool TemporaryPrivileges() const { return privileges_; }

    // Closing the window. With no operator on duty nothing is asked and nothing saved.
    ExitOutcome RequestExit();
    // After kClosing (and the caller's one-second wait): stops the ticks and deletes the
    // booths, on the engine thread.
    void Shutdown();

    int Phase() const { return phase_.load(); }
    int OperatorOnDuty() const { return operatorOnDuty_; }
    int NotAdministrator() const { return notAdministrator_; }
    bool CloseRequested() const { return closeRequested_; }
    std::string StateText() const;
    bool Autonomous() const;
    bool PreferentialTariff() const { return preferential_.load(); }
    int32_t RestoredTotal() const;
    std::array<bool, kBoothCount> RestoredMarks() const;
    std::string Caption() const;

    KassaData KassaCopy() const;
    AppConfig& Config();
    const std::filesystem::path& WorkDir() const { return workDir_; }

    // Engine operations, run on the engine thread while the caller waits.
    BoothSnapshot Snapshot(int panel);
    std::array<BoothSnapshot, kBoothCount> Snapshots();
    BoothView ViewOf(int panel);
    void ApplyAdvanceResult(int panel, int32_t result);
    void AddAdvance(int panel, int32_t amount);
    // --- The main window's commands (window thread) ---
    // What the menu guards look at, and the menus as the first tick set them up.
    GuardFacts Facts();
    MenuSetup Menus() const;
    // The login of start-up again (three attempts through the "Паспорт" dialog): "Смена"
    // after its cash window, and the Z report. Writes event 2. After three failures the
    // office closes (CloseRequested), as at start-up.
    LoginResult RunLogin();
    // The cash window, its printouts and the sum of the open unclaimed balances.
    KassaWindowModel& KassaWindow();
    CollectionPrinter& CollectionOutput();
    DeskState Desk() const;
    Money UnclaimedTotal();
    // A collection window closed with 2: operator log event 4, then the Z report when the
    // 114.1Ф and "Инкассация + Z-отчет" are set.
    void CollectionBooked();
    // The fiscal menu commands ("X - отчет" ...).
    FiscalCommands& Fiscal();
    // "Z - отчет" with its question; true when the report was queued (the login follows).
    bool ZReportCommand();
    LocalDateTime Now() const { return host_.clock.Now(); }
    // "Снять вызов": the one-byte controller command.
    void DropCall();
    // "Восстановить связь": the link back from autonomous mode and "Норма".
    void RestoreLink();
    // "Кабина N" → "Применить": the dial-around record, the booth replaced by a new one of the
    // resulting kind and number, kabin.cfg rebuilt. Returns the new window width.
    int ApplyBoothSettings(int panel, const BoothSettingsOutcome& outcome);
    int WindowWidth() const;
    // The dial-around record (app.cfg), -1 none.
    int32_t AroundPanel();
    // "Главные опции" → "Применить" once app.cfg was written: the window's fields go over the
    // image as it is now (counters the booths moved meanwhile stay theirs), the fiscal
    // protocol switch and the dial-around mode follow, and app.log gets its date and time
    // lines when its recording was switched on. Nothing changes when nothing was written.
    // `opened` is the image the window was filled from: a counter the operator left as it
    // was (the next receipt and fax numbers) keeps the value the booths have moved it to.
    void MainOptionsApplied(const AppConfigData& opened, const MainOptionsModel& window,
                            const MainOptionsSave& save);

    // The controller link window's model (made on first use) and the view it shows; both
    // are worked on the engine thread only.
    ControllerDebugModel& DebugModel();
    ExchangeDebugView& DebugView();
    TRFTOR& TariffEngine();
    // The data module, for the windows that keep their own tables on the window thread (the
    // passwords window); the booths' tables are the engine's.
    TDMInfo& Store();
    Scheduler& EngineScheduler() { return host_.scheduler; }
    const Clock& OfficeClock() const { return host_.clock; }

    // Runs a booth click's event for an order booth (event 1).
    void RaiseBoothEvent(int panel, uint32_t event, int32_t argument);

    // Runs `work` with the booths on the engine thread and waits for it.
    void WithBooths(const std::function<void(BoothArray&)>& work);

  private:
    // Runs work on the engine thread and waits; runs it here when already on it, or when the
    // scheduler no longer takes work.
    template <class Fn>
    auto OnEngine(Fn&& fn) -> std::invoke_result_t<Fn&> {
        using R = std::invoke_result_t<Fn&>;
        if (host_.scheduler.OnSchedulerThread()) {
            return fn();
        }
        auto task = std::make_shared<std::packaged_task<R()>>(std::forward<Fn>(fn));
        std::future<R> result = task->get_future();
        if (host_.scheduler.ScheduleAt(host_.scheduler.NowMs(), [task] { (*task)(); }) == 0) {
            (*task)();
        }
        if (host_.whileWaiting) {
            while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
                host_.whileWaiting();
            }
        }
        return result.get();
    }

    void FirstTick();
    // Three attempts through the dialog; after three failures the office closes as with
    // nobody on duty.
    LoginResult LoginProcedure();
    void Login(const LoginResult& result);
    void SetPriority();
    void SecondTick();

    std::filesystem::path workDir_;
    OfficeHost host_;
    std::unique_ptr<OfficeCore> core_;
    std::atomic<int> phase_{kPhaseConstructed};
    std::atomic<bool> preferential_{false};
    std::atomic<bool> ticking_{false};
    std::atomic<bool> fiscalFailed_{false};
    int operatorOnDuty_ = -1;
    int notAdministrator_ = -1;
    bool closeRequested_ = false;
    bool defaultsCreated_ = false;
    bool privileges_ = false;
    std::string savedStateText_;
    StateColour savedStateColour_ = StateColour::Black;
};

}  // namespace miradel
