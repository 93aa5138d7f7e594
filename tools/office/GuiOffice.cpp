#include "GuiOffice.h"

#include <sys/resource.h>

#include <QApplication>
#include <QDesktopServices>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <thread>

#include "app/Office.h"
#include "app/PasswordsModel.h"
#include "app/channel/SingleInstance.h"
#include "app/config/AppConfigFields.h"
#include "app/log/AppLogViewer.h"
#include "app/ui/AboutWindow.h"
#include "app/ui/AppLogWindow.h"
#include "app/ui/ComPortWindow.h"
#include "app/ui/DialogRelay.h"
#include "app/ui/LoginDialog.h"
#include "app/ui/MainOptionsWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/MessagePrompt.h"
#include "app/ui/OfficeHooks.h"
#include "app/ui/PanelFeed.h"
#include "app/ui/PasswordsWindow.h"
#include "app/ui/PrinterSetupWindow.h"
#include "app/ui/WindowCommands.h"
#include "cashdesk/TopUpDialogModel.h"
#include "cashdesk/ui/KassaWindow.h"
#include "cashdesk/ui/TopUpDialog.h"
#include "common/Clock.h"
#include "common/Scheduler.h"
#include "controller/ControllerDebugModel.h"
#include "controller/LinuxSerialPort.h"
#include "controller/PortMap.h"
#include "controller/ui/DebugWindow.h"
#include "tariff/Calendar.h"
#include "tariff/CalendarWindowModel.h"
#include "tariff/ui/CalendarWindow.h"

namespace miradel::office {
namespace {

bool SetGuiPriority(int level) {
    const int nice = level == 1 ? -5 : level == 2 ? -15 : 0;
    return setpriority(PRIO_PROCESS, 0, nice) == 0;
}

// The "Паспорт" dialog at start-up and at a shift change.
std::optional<std::string> AskPassword() {
    return AskLoginPassword();
}

bool OpenWithDesktop(const std::filesystem::path& file) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

// The calendar asks for the booths' states on the window thread: it reads the copies the
// engine last published, never the booths themselves.
class PublishedBoothStates final : public BoothStateSource {
  public:
    explicit PublishedBoothStates(const PanelFeed& feed) : feed_(feed) {}
    int StateOf(int panel) const override {
        return panel >= 0 && panel < kBooths ? feed_.Latest().snapshots[panel].state : 0;
    }

  private:
    const PanelFeed& feed_;
};

}  // namespace

bool DisplayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

int RunGui(const GuiOptions& options, int argc, char** argv) {
    QApplication app(argc, argv);
    const std::filesystem::path workdir = options.workdir;
    SingleInstance instance;
    if (instance.ClaimFolder(workdir) == SingleInstance::Claim::kAlreadyRunning) {
        // The first office comes to the front; nothing here touches its files.
        std::cerr << "miradel: an office already runs in " << workdir.string() << "\n";
        return 0;
    }

    SystemClock clock;
    RealScheduler scheduler;
    MessagePrompt prompt;
    PublishedProgramStatus status;
    DialogRelay relay;
    const std::string device = options.device;
    OfficeHost host{scheduler,
                    clock,
                    prompt,
                    status,
                    [workdir, device](int comIndex) -> std::unique_ptr<SerialPort> {
                        std::string path = device;
                        if (path.empty()) {
                            path = LoadPortMap(workdir).map.DevicePath(comIndex).value_or("");
                        }
                        return std::make_unique<LinuxSerialPort>(path);
                    },
                    AskPassword,
                    SetGuiPriority,
                    [&prompt](const std::string& note) {
                        prompt.Ask({note, "Miradel", PromptButtons::Ok, PromptIcon::Warning});
                    },
                    {},
                    PumpWhileWaiting,
                    &relay};
    Office office(workdir, std::move(host));
    scheduler.Start();
    if (auto error = office.Start()) {
        QMessageBox::critical(nullptr, "Error", QString::fromStdString(error->text));
        scheduler.Stop();
        return 1;
    }

    PanelFeed feed;
    PanelPublisher publisher(office, scheduler, feed);
    MainWindowHooks hooks = OfficeHooks(office, scheduler, publisher);
    hooks.dialogShown = [&relay](AdvanceDialog* dialog) { relay.Attach(dialog); };

    MainWindow* window = nullptr;
    std::unique_ptr<WindowCommands> commands;
    auto help = [&commands](int topic) { commands->Help(topic); };
    KassaWindow kassa(
        office.KassaWindow(), [&office] { return office.Desk(); },
        [&office] { return office.Now(); }, office.CollectionOutput(), prompt, help);
    TopUpDialogModel topUpModel;
    TopUpDialog topUp(topUpModel, prompt, help);
    AppLogViewer appLog(workdir / "app.log", prompt);
    PublishedBoothStates boothStates(feed);
    std::unique_ptr<DebugWindow> debugWindow;

    WindowFactories factories;
    factories.kassa = [&](KassaMode mode) {
        kassa.Open(mode, office.UnclaimedTotal());
        return kassa.exec();
    };
    factories.topUp = [&](int panel, int boothNumber) -> std::optional<int32_t> {
        topUp.Open(panel, boothNumber);
        topUp.exec();
        return topUp.Amount();
    };
    factories.privilegesPassword = [&window] { return AskLoginPassword(window); };
    factories.boothNumber = [&window]() -> std::optional<std::string> {
        bool ok = false;
        const QString text = QInputDialog::getText(window, QString::fromUtf8(kEnterNumberCaption),
                                                   QString(), QLineEdit::Normal, QString(), &ok);
        return ok ? std::optional<std::string>(text.toStdString()) : std::nullopt;
    };
    factories.openFile = OpenWithDesktop;
    factories.windows[MenuCommand::kMainOptions] = [&] {
        MainOptionsWindow* options = nullptr;
        const AppConfigData opened = office.Config().Copy();
        MainOptionsWindow dialog(
            opened, workdir,
            [&](const MainOptionsSave& save) {
                office.MainOptionsApplied(opened, options->Model(), save);
                window->ApplyMenuSetup(office.Menus());
            },
            window);
        options = &dialog;
        dialog.exec();
    };
    factories.windows[MenuCommand::kCalendar] = [&] {
        CalendarOpen opened = Calendar::Open(workdir, office.TariffEngine(), boothStates, clock);
        if (!opened.calendar) {
            prompt.Ask({opened.error ? opened.error->text : "year.dat", "Error", PromptButtons::Ok,
                        PromptIcon::Error});
            return;
        }
        CalendarWindowModel model(*opened.calendar, clock.Now().day);
        CalendarWindow(model, prompt, window).exec();
    };
    factories.windows[MenuCommand::kComPort] = [&] {
        ComPortWindow(office.Config(), workdir, window).exec();
    };
    factories.windows[MenuCommand::kPrinter] = [&] {
        PrinterSetupWindow(office.Config(), workdir, window).exec();
    };
    factories.windows[MenuCommand::kPasswords] = [&] {
        StorePasswordRows rows(office.Store());
        ShowPasswordsWindow(rows, prompt, window);
    };
    factories.windows[MenuCommand::kReadAppLog] = [&] { ShowAppLog(appLog, window); };
    factories.windows[MenuCommand::kAbout] = [&] { AboutWindow(window).exec(); };
    factories.windows[MenuCommand::kDebugWindow] = [&] {
        if (!debugWindow) {
            ExchangeDebugView& view = office.DebugView();
            debugWindow = std::make_unique<DebugWindow>(
                office.DebugModel(), [&view] { return view.Read(); },
                [&scheduler](std::function<void()> work) { scheduler.Post(std::move(work)); },
                window);
        }
        debugWindow->show();
        debugWindow->raise();
    };

    commands = std::make_unique<WindowCommands>(office, prompt, publisher, MIRADEL_HELP_DIR,
                                                std::move(factories));
    commands->Connect(hooks);
    MainWindow mainWindow(feed, status, hooks);
    window = &mainWindow;
    commands->SetWindow(window);
    window->SetBoardWidth(office.WindowWidth());
    window->show();
    if (options.besideMainWindow) {
        options.besideMainWindow(window);
    }

    // The main window timer: the first tick logs in and starts the controller link.
    QTimer mainTimer;
    bool menusSet = false;
    QObject::connect(&mainTimer, &QTimer::timeout, [&] {
        office.MainTimerTick();
        if (!menusSet && office.Phase() == kPhaseRunning) {
            menusSet = true;
            window->ApplyMenuSetup(office.Menus());
        }
        if (instance.RaiseRequests() > 0) {
            window->showNormal();
            window->raise();
            window->activateWindow();
        }
        if (office.CloseRequested()) {
            mainTimer.stop();
            commands->SetClosing();
            window->close();
        }
    });
    mainTimer.start(1000);
    const int code = app.exec();
    mainTimer.stop();
    publisher.Stop();
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the window closes a second later
    debugWindow.reset();
    office.Shutdown();
    scheduler.Stop();
    return code;
}

}  // namespace miradel::office
