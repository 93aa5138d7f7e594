// The main window offscreen over an office in virtual time: the panels follow the booths
// through the published copies, a click opens the advance dialog and its result reaches the
// booth, and a screenshot of the window is saved for a look.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <filesystem>

#include "app/ui/AdvanceDialog.h"
#include "app/ui/MainWindow.h"
#include "app/ui/OfficeHooks.h"
#include "app/ui/PanelFeed.h"
#include "office/OfficeFixture.h"
#include "support/OffscreenApp.h"

namespace miradel {
namespace {

using testing::OfficeRig;

QApplication& App() {
    return testing::OffscreenApp();
}

// The window over the rig's office, wired as the office program wires it.
struct WindowRig {
    WindowRig() {
        App();
        rig.StartAndRun();
        publisher = std::make_unique<PanelPublisher>(*rig.office, rig.scheduler, feed);
        MainWindowHooks hooks = OfficeHooks(*rig.office, rig.scheduler, *publisher);
        hooks.runDialog = [this](const BoothSnapshot& booth) {
            dialogs.push_back(booth);
            rig.Run(10);  // the engine sees the open dialog
            openWhileShown = DialogOpen(booth.panel);
            return nextResult;
        };
        window = std::make_unique<MainWindow>(feed, status, hooks);
        window->show();
    }
    ~WindowRig() {
        window.reset();
        publisher->Stop();
    }

    bool DialogOpen(int panel) {
        bool open = false;
        rig.office->WithBooths([&](BoothArray& booths) { open = booths[panel]->DialogOpen(); });
        return open;
    }

    void Run(int64_t ms) {
        rig.Run(ms);
        window->Refresh();
        QApplication::processEvents();
    }

    OfficeRig rig;
    PanelFeed feed;
    PublishedProgramStatus status;
    std::unique_ptr<PanelPublisher> publisher;
    std::unique_ptr<MainWindow> window;
    std::vector<BoothSnapshot> dialogs;
    int nextResult = 0;
    bool openWhileShown = false;
};

TEST(MainWindow, PanelsShowTheBoothsAsPublished) {
    WindowRig w;
    w.Run(1500);
    EXPECT_EQ(w.window->windowTitle().toStdString(), "Работает оператор - 99");
    const BoothPanel& first = w.window->Panel(0);
    EXPECT_EQ(first.Caption().toStdString(), "выключен");
    EXPECT_EQ(first.Name().toStdString(), "Автомат 1");
    EXPECT_EQ(first.Money().toStdString(), "0.00");
    EXPECT_EQ(first.Picture(), 1);
    EXPECT_EQ(PictureResource(1).toStdString(), ":/pictures/TLF_EMPTY");
    EXPECT_FALSE(QPixmap(PictureResource(1)).isNull());

    // Switching booth 1 on with 10.00 through the office, as the headless channel does.
    w.rig.office->ApplyAdvanceResult(0, 1000);
    w.Run(1500);
    EXPECT_EQ(first.Caption().toStdString(), "включен");
    EXPECT_EQ(first.Money().toStdString(), "10.00");
    EXPECT_EQ(first.Picture(), 2);
    EXPECT_EQ(w.window->Panel(1).Caption().toStdString(), "выключен");

    w.status.ShowProgramState(kStateNormalText, StateColour::Black, false);
    w.Run(100);
    std::filesystem::create_directories(MIRADEL_SCREENSHOTS);
    const QString file = QString(MIRADEL_SCREENSHOTS) + "/main-window.png";
    ASSERT_TRUE(w.window->grab().save(file, "PNG"));
}

TEST(MainWindow, StatusBarShowsTheProgramState) {
    WindowRig w;
    w.status.ShowProgramState(kStateNormalText, StateColour::Black, false);
    w.Run(100);
    EXPECT_EQ(w.window->StateText().toStdString(), kStateNormalText);
}

TEST(MainWindow, ClickHandsTheDialogResultToTheBooth) {
    WindowRig w;
    w.Run(1500);
    w.nextResult = 2500;
    w.window->ClickPanel(2);
    ASSERT_EQ(w.dialogs.size(), 1u);
    EXPECT_EQ(w.dialogs[0].panel, 2);
    EXPECT_EQ(w.dialogs[0].state, 1);
    EXPECT_TRUE(w.openWhileShown);
    w.Run(100);
    EXPECT_FALSE(w.DialogOpen(2));
    EXPECT_EQ(w.window->Panel(2).Money().toStdString(), "25.00");
    EXPECT_EQ(w.rig.office->Snapshot(2).advanceLeft, 2500);

    // Settling with "Печать" closes the booth again.
    w.nextResult = kAdvanceSettleAndPrint;
    w.window->ClickPanel(2);
    w.Run(1500);
    EXPECT_EQ(w.rig.office->Snapshot(2).state, 1);
    EXPECT_EQ(w.window->Panel(2).Caption().toStdString(), "выключен");
}

TEST(AdvanceDialog, DepositsTheTypedAmount) {
    App();
    BoothSnapshot idle;
    idle.state = 1;
    idle.kind = 1;
    idle.boothNumber = 3;
    idle.panel = 2;
    AdvanceDialog dialog(idle);
    EXPECT_EQ(dialog.windowTitle().toStdString(), " Кабина - 3");
    EXPECT_FALSE(dialog.DepositButton()->isHidden());
    EXPECT_TRUE(dialog.SettleButton()->isHidden());
    for (const char* key : {"1", "2", ".", "5", "0"}) {
        dialog.TypeKey(key);
    }
    dialog.DepositButton()->click();
    EXPECT_EQ(dialog.Result(), 1250);
}

}  // namespace
}  // namespace miradel
