#include "GuiOffice.h"

#include <sys/resource.h>

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "app/Office.h"
#include "app/ui/MainWindow.h"
#include "app/ui/MessagePrompt.h"
#include "app/ui/OfficeHooks.h"
#include "app/ui/PanelFeed.h"
#include "common/Clock.h"
#include "common/Scheduler.h"
#include "controller/LinuxSerialPort.h"
#include "controller/PortMap.h"

namespace miradel::office {
namespace {

bool SetGuiPriority(int level) {
    const int nice = level == 1 ? -5 : level == 2 ? -15 : 0;
    return setpriority(PRIO_PROCESS, 0, nice) == 0;
}

// The "Паспорт" dialog: the password typed hidden; "Отмена" gives nothing.
std::optional<std::string> AskPassword() {
    bool ok = false;
    const QString text =
        QInputDialog::getText(nullptr, "Паспорт", "Пароль:", QLineEdit::Password, QString(), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text.toStdString();
}

}  // namespace

bool DisplayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
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
    SystemClock clock;
    RealScheduler scheduler;
    MessagePrompt prompt;
    PublishedProgramStatus status;
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
                    {}};
    Office office(workdir, std::move(host));
    scheduler.Start();
    if (auto error = office.Start()) {
        QMessageBox::critical(nullptr, "Error", QString::fromStdString(error->text));
        scheduler.Stop();
        return 1;
    }

    PanelFeed feed;
    PanelPublisher publisher(office, scheduler, feed);
    bool closing = false;
    MainWindowHooks hooks = OfficeHooks(office, scheduler, publisher);
    hooks.closeRequest = [&] {
        if (!closing) {
            closing = office.RequestExit() == ExitOutcome::kClosing;
        }
        return closing;
    };
    MainWindow window(feed, status, hooks);
    window.show();

    // The main window timer: the first tick logs in and starts the controller link.
    QTimer mainTimer;
    QObject::connect(&mainTimer, &QTimer::timeout, [&] {
        office.MainTimerTick();
        if (office.CloseRequested()) {
            mainTimer.stop();
            closing = true;
            window.close();
        }
    });
    mainTimer.start(1000);
    const int code = app.exec();
    mainTimer.stop();
    publisher.Stop();
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the window closes a second later
    office.Shutdown();
    scheduler.Stop();
    return code;
}

}  // namespace miradel::office
