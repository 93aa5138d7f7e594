// The office's main window offscreen, wired as the office program wires it, over an office in
// virtual time with the booth controller simulator: a whole call through the real advance
// dialog, the menu guards, the booth settings window, the booth by physical number, the exit
// refused while a booth is active. A screenshot of a busy office is saved for a look.
#include <gtest/gtest.h>

#include <SQLiteCpp/SQLiteCpp.h>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/config/AppConfigFields.h"
#include "app/ui/AdvanceDialog.h"
#include "app/ui/BoothSettingsDialog.h"
#include "app/ui/DialogRelay.h"
#include "app/ui/MainWindow.h"
#include "app/ui/OfficeHooks.h"
#include "app/ui/PanelFeed.h"
#include "app/ui/WindowCommands.h"
#include "common/Cp1251.h"
#include "office/OfficeFixture.h"
#include "support/OffscreenApp.h"

namespace miradel {
namespace {

using testing::OfficeRig;

QApplication& App() {
    return testing::OffscreenApp();
}

// Works the modal window that `open` shows, once it is up.
template <class Window>
void WhenShown(std::function<void(Window&)> work) {
    QTimer::singleShot(0, [work] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        work(*window);
    });
}

struct OfficeWindow {
    OfficeWindow() {
        App();
        rig.dialog = &relay;
        rig.StartAndRun();
        publisher = std::make_unique<PanelPublisher>(*rig.office, rig.scheduler, feed);
        MainWindowHooks hooks = OfficeHooks(*rig.office, rig.scheduler, *publisher);
        hooks.dialogShown = [this](AdvanceDialog* dialog) { relay.Attach(dialog); };
        WindowFactories factories;
        factories.kassa = [this](KassaMode mode) {
            kassaModes.push_back(mode);
            return kassaResult;
        };
        factories.boothNumber = [this] { return std::optional<std::string>(typedNumber); };
        factories.openFile = [this](const std::filesystem::path& file) {
            opened.push_back(file);
            return true;
        };
        factories.windows[MenuCommand::kDebugWindow] = [this] { ++debugWindows; };
        factories.privilegesPassword = [] { return std::optional<std::string>("qzr40316258"); };
        commands = std::make_unique<WindowCommands>(*rig.office, rig.prompt, *publisher, "/help",
                                                    std::move(factories));
        commands->Connect(hooks);
        window = std::make_unique<MainWindow>(feed, status, hooks);
        commands->SetWindow(window.get());
        window->show();
        Run(1500);
    }
    ~OfficeWindow() {
        window.reset();
        publisher->Stop();
    }

    void Run(int64_t ms) {
        rig.Run(ms);
        window->Refresh();
        QApplication::processEvents();
    }
    void Trigger(MenuCommand command, int panel = -1) { window->Action(command, panel)->trigger(); }
    std::string LastPrompt() const {
        const auto asked = rig.prompt.Asked();
        return asked.empty() ? "" : asked.back().caption + ": " + asked.back().text;
    }
    void Call(int line, const std::string& number, int talkMs) {
        rig.controller.Lift(line);
        Run(400);
        for (char c : number) {
            rig.controller.Dial(line, c == '0' ? 10 : c - '0');
            Run(300);
        }
        rig.controller.Answer(line);
        Run(talkMs);
        rig.controller.HangUp(line);
        Run(1500);
    }

    DialogRelay relay;
    OfficeRig rig;
    PanelFeed feed;
    PublishedProgramStatus status;
    std::unique_ptr<PanelPublisher> publisher;
    std::unique_ptr<WindowCommands> commands;
    std::unique_ptr<MainWindow> window;
    std::vector<KassaMode> kassaModes;
    int kassaResult = kKassaViewClosed;
    std::string typedNumber;
    std::vector<std::filesystem::path> opened;
    int debugWindows = 0;
};

TEST(OfficeWindow, WholeCallThroughTheAdvanceDialog) {
    OfficeWindow w;
    w.rig.office->Config().Set(appcfg::kAutoTariffStart, 1);  // metering starts on the answer
    WhenShown<AdvanceDialog>([](AdvanceDialog& d) {
        for (const char* key : {"1", "0", ".", "0", "0"}) {
            d.TypeKey(key);
        }
        d.DepositButton()->click();
    });
    w.window->ClickPanel(0);
    w.Run(1500);
    const BoothPanel& panel = w.window->Panel(0);
    EXPECT_EQ(panel.Caption().toStdString(), "включен");
    EXPECT_EQ(panel.Money().toStdString(), "10.00");

    w.Call(0, "84951234567", 20000);
    EXPECT_EQ(w.rig.office->Snapshot(0).calls, 1);
    EXPECT_LT(w.rig.office->Snapshot(0).advanceLeft, 1000);

    // The exit is refused while the booth holds its advance.
    w.window->close();
    EXPECT_TRUE(w.window->isVisible());
    EXPECT_EQ(w.LastPrompt(), "Error Close: Одна из кабин активна!");

    WhenShown<AdvanceDialog>([](AdvanceDialog& d) {
        ASSERT_TRUE(d.PrintButton()->isEnabled());
        d.PrintButton()->click();
    });
    w.window->ClickPanel(0);
    w.Run(1500);
    EXPECT_EQ(panel.Caption().toStdString(), "выключен");
    EXPECT_EQ(panel.Money().toStdString(), "0.00");
    EXPECT_EQ(w.rig.office->KassaCopy().Get(0), 0);  // no advance is held any more
    const int32_t earned = w.rig.office->KassaCopy().Get(3);
    EXPECT_GT(earned, 0);
    EXPECT_EQ(w.rig.office->KassaCopy().Get(7), earned);

    w.rig.prompt.Queue(PromptAnswer::Ok);  // "Завершить приложение?"
    w.window->close();
    EXPECT_FALSE(w.window->isVisible());
    w.rig.office->Shutdown();

    // The call's INFO row, the till on disk and the settlement receipt.
    SQLite::Database db((w.rig.dir.path() / "APPD.sqlite").string());
    SQLite::Statement row(db, "SELECT NUMBER, DIAL_UP, SUMMA, AVANS FROM INFO");
    ASSERT_TRUE(row.executeStep());
    EXPECT_EQ(row.getColumn(0).getInt(), 1);
    EXPECT_EQ(row.getColumn(1).getString(), "84951234567");
    EXPECT_EQ(row.getColumn(3).getInt(), 1000);
    EXPECT_FALSE(row.executeStep());

    std::ifstream kassa(w.rig.dir.path() / "kassa.dat", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(kassa), {}};
    ASSERT_EQ(bytes.size(), 32u);
    auto counter = [&bytes](int n) {
        int32_t v = 0;
        std::memcpy(&v, bytes.data() + 4 * n, 4);
        return v;
    };
    EXPECT_EQ(counter(3), earned);
    EXPECT_EQ(counter(7), earned);

    std::string receipts;
    for (const auto& file : std::filesystem::directory_iterator(w.rig.dir.path() / "spool")) {
        std::ifstream in(file.path(), std::ios::binary);
        receipts += Cp1251ToUtf8(std::string(std::istreambuf_iterator<char>(in), {}));
    }
    EXPECT_NE(receipts.find("N84951234567"), std::string::npos) << receipts;
}

TEST(OfficeWindow, TheOpenAdvanceDialogHearsItsBooth) {
    OfficeWindow w;
    w.rig.office->ApplyAdvanceResult(0, 1000);
    w.Run(1500);
    std::string dialled;
    WhenShown<AdvanceDialog>([&](AdvanceDialog& d) {
        // The client dials while the operator looks at the booth.
        w.rig.controller.Lift(0);
        w.Run(400);
        for (int digit : {8, 4, 9}) {
            w.rig.controller.Dial(0, digit);
            w.Run(300);
        }
        dialled = d.Model().View().dialledLine;
        d.close();
    });
    w.window->ClickPanel(0);
    EXPECT_NE(dialled.find("849"), std::string::npos) << dialled;
    w.Run(100);
    EXPECT_NE(w.rig.office->Snapshot(0).state, 1);  // closing the dialog changes nothing
}

TEST(OfficeWindow, MenuGuardsAnswerWithTheirMessages) {
    OfficeWindow w;
    EXPECT_EQ(w.window->TariffText().toStdString(), "Тариф - обычный");
    // Outside autonomous mode even an administrator may not change the ports.
    w.Trigger(MenuCommand::kComPort);
    EXPECT_EQ(w.LastPrompt(), "Error Avtonom: Требуется перевести программу в режим АВТОНОМ");

    w.rig.office->ApplyAdvanceResult(1, 500);
    w.Run(1500);
    w.Trigger(MenuCommand::kShift);
    EXPECT_EQ(w.LastPrompt(), "Error Close: Одна из кабин активна!");
    EXPECT_TRUE(w.kassaModes.empty());
    w.Trigger(MenuCommand::kBoothSettings, 1);
    EXPECT_EQ(w.LastPrompt(), "Error Access: Кабина активна!");

    // The cash window opens in view mode; a collection that was booked is logged.
    w.Trigger(MenuCommand::kKassa);
    w.rig.office->ApplyAdvanceResult(1, kAdvanceSettle);
    w.Run(1500);
    w.kassaResult = kKassaCollected;
    w.Trigger(MenuCommand::kCollection);
    ASSERT_EQ(w.kassaModes.size(), 2u);
    EXPECT_EQ(w.kassaModes[0], KassaMode::kView);
    EXPECT_EQ(w.kassaModes[1], KassaMode::kCollection);
    EXPECT_NE(w.rig.LogText().find("Инкассация"), std::string::npos);

    // F12 opens the link window for the administrator; F1 the main window's help page.
    QKeyEvent f12(QEvent::KeyPress, Qt::Key_F12, Qt::NoModifier);
    QApplication::sendEvent(w.window.get(), &f12);
    EXPECT_EQ(w.debugWindows, 1);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(w.window.get(), &f1);
    ASSERT_EQ(w.opened.size(), 1u);
    EXPECT_EQ(w.opened[0], std::filesystem::path("/help/index.html"));  // no 100.html here

    // The privileges' check mark follows them; a click on the state indicator drops them.
    QAction* privileges = w.window->Action(MenuCommand::kTemporaryPrivileges);
    privileges->trigger();
    EXPECT_FALSE(privileges->isChecked());  // an administrator takes none
    EXPECT_FALSE(w.rig.office->TemporaryPrivileges());

    // A window of a later part opens its note.
    w.Trigger(MenuCommand::kCallReport);
    EXPECT_EQ(w.LastPrompt(), std::string("Отчет АПП: ") + kNotYetAvailable);
    EXPECT_FALSE(w.window->Action(MenuCommand::kRestoreLink)->isVisible());
    EXPECT_FALSE(w.window->Action(MenuCommand::kXReport)->isVisible());
}

TEST(OfficeWindow, BoothSettingsAndBoothByNumber) {
    OfficeWindow w;
    WhenShown<BoothSettingsDialog>([](BoothSettingsDialog& d) {
        EXPECT_EQ(d.windowTitle().toStdString(), "Физический номер кабины - 4");
        EXPECT_TRUE(d.NumberEdit()->hasSelectedText());
        d.NumberEdit()->setText("44x");
        d.KindList()->setCurrentIndex(5);  // "Обзвон"
        d.Apply();
    });
    w.Trigger(MenuCommand::kBoothSettings, 3);
    w.Run(1500);
    EXPECT_EQ(w.rig.office->Snapshot(3).kind, 5);
    EXPECT_EQ(w.rig.office->Snapshot(3).boothNumber, 44);
    EXPECT_EQ(w.rig.office->Config().Get(appcfg::kAroundPanel), 3);

    WhenShown<BoothSettingsDialog>([](BoothSettingsDialog& d) {
        d.KindList()->setCurrentIndex(5);
        d.Apply();
    });
    w.Trigger(MenuCommand::kBoothSettings, 8);
    EXPECT_EQ(w.LastPrompt(), "Error Set: Кабина обзвона уже есть в конфигурации!");
    EXPECT_EQ(w.rig.office->Snapshot(8).kind, 1);

    // "Кабина" with a physical number opens that booth's advance dialog; the dial-around
    // booth and unknown numbers are ignored.
    int dialogs = 0;
    auto countAndClose = [&dialogs](AdvanceDialog& d) {
        ++dialogs;
        d.close();
    };
    w.typedNumber = "9";
    WhenShown<AdvanceDialog>(countAndClose);
    w.Trigger(MenuCommand::kBoothByNumber);
    EXPECT_EQ(dialogs, 1);
    for (const char* number : {"44", "77"}) {
        w.typedNumber = number;
        w.Trigger(MenuCommand::kBoothByNumber);
        QApplication::processEvents();
    }
    EXPECT_EQ(dialogs, 1);

    // A busy office for the reviewer's eye: one booth talking, one switched on, a
    // dial-around booth, a disabled position.
    w.rig.office->ApplyAdvanceResult(0, 1000);
    w.rig.office->ApplyAdvanceResult(4, 2500);
    w.Run(1500);
    w.rig.controller.Lift(0);
    w.Run(400);
    w.rig.controller.Dial(0, 8);
    w.Run(1500);
    w.status.ShowProgramState(kStateNormalText, StateColour::Black, false);
    w.Run(100);
    std::filesystem::create_directories(MIRADEL_SCREENSHOTS);
    EXPECT_TRUE(w.window->grab().save(QString(MIRADEL_SCREENSHOTS) + "/office-window.png", "PNG"));
}

}  // namespace
}  // namespace miradel
