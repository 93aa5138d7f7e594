// The service windows offscreen: the controller debug window over an exchange in virtual time,
// the holiday calendar over a small tariff folder, and the app.log viewer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "app/ui/AppLogWindow.h"
#include "controller/ExchangeRig.h"
#include "controller/ui/DebugWindow.h"
#include "support/OffscreenApp.h"
#include "support/TempDir.h"
#include "tariff/TariffFolder.h"
#include "tariff/ui/CalendarWindow.h"

namespace miradel {
namespace {

QApplication& App() {
    return testing::OffscreenApp();
}

void Click(QWidget& window, const QString& caption) {
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (button->text() == caption) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "no button " << caption.toStdString();
}

std::vector<std::string> ListRows(const QListWidget& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.count(); ++i) {
        rows.push_back(list.item(i)->text().toStdString());
    }
    return rows;
}

// The debug window wired as the office wires it: copies from the published view, commands
// posted to the engine thread (here the virtual scheduler).
struct DebugRig {
    DebugRig() { rig.StartLink(); }
    void Run(int64_t ms) {
        rig.Run(ms);
        window.Refresh();
    }
    QString Label(const char* name) { return window.findChild<QLabel*>(name)->text(); }
    QListWidget& List() { return *window.findChild<QListWidget*>("viewList"); }

    QApplication& app = App();  // before the window
    testing::ExchangeRig rig;
    ControllerDebugModel model{rig.scheduler, rig.exchange, rig.debug, rig.booths};
    DebugWindow window{model, [this] { return rig.debug.Read(); },
                       [this](std::function<void()> work) { rig.scheduler.Post(std::move(work)); }};
};

TEST(DebugWindow, ListsFramesNewestFirstAndEscClosesItWithoutStoppingTheLink) {
    DebugRig d;
    d.window.show();
    EXPECT_EQ(d.window.windowTitle(), " Debug window");
    EXPECT_EQ(d.Label("viewLabel"), "STOP VIEW");
    Click(d.window, "Start\\Stop View");
    d.Run(1);
    EXPECT_EQ(d.Label("viewLabel"), "START VIEW");

    d.rig.port.Inject({0x31, 0x7E, 0x03, 0x42, 0x01, 0x46});  // garbage, then handset down
    d.Run(100);
    const std::vector<std::string> rows = ListRows(d.List());
    const auto published = d.rig.debug.Read().view;
    EXPECT_EQ(rows, std::vector<std::string>(published.begin(), published.end()));
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows.back(), "ERR -> 31 ");  // the oldest line at the bottom
    EXPECT_EQ(rows[rows.size() - 2], "-> опущена трубка - 1");

    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&d.window, &esc);
    EXPECT_FALSE(d.window.isVisible());
    EXPECT_EQ(d.List().count(), 0);
    d.Run(1);
    EXPECT_FALSE(d.rig.debug.Read().viewOn);
    EXPECT_TRUE(d.rig.debug.Read().view.empty());
    EXPECT_TRUE(d.rig.exchange.Running());
    EXPECT_FALSE(d.rig.exchange.Abnormal());
}

TEST(DebugWindow, ImitatorSendsToTheTypedLineOnlyWhileTheLinkIsDown) {
    DebugRig d;
    d.window.show();
    auto* line = d.window.findChild<QLineEdit*>("imitatorLine");
    EXPECT_EQ(line->text(), "0");
    line->setText("3");
    Click(d.window, "P");
    d.Run(10);
    EXPECT_TRUE(d.rig.booths.events.empty());

    d.rig.port.Inject({0x7E, 0x02, 0xFD, 0xFF});  // link stop; the question is answered OK
    d.Run(10);
    d.rig.booths.events.clear();
    Click(d.window, "P");
    Click(d.window, "0");
    line->setText("16");
    Click(d.window, "U");
    d.Run(1);
    EXPECT_EQ(d.rig.booths.events,
              (std::vector<std::tuple<int, uint32_t, int32_t>>{{3, 4, 0}, {3, 3, 10}}));
}

class FakeBooths final : public BoothStateSource {
  public:
    int StateOf(int panel) const override { return states[panel]; }
    std::array<int, kBooths> states{};
};

TEST(CalendarWindow, DoubleClickFlipsADayAndAnActiveBoothIsRefused) {
    App();
    testing::TariffFolder folder;  // 14 May 2024
    folder.WriteSet("8-1-11-4\n", 1, "495 2 M\n", testing::TariffRecord(2, 200, 2000));
    TariffLoad load = folder.Load();
    ASSERT_TRUE(load.engine);
    FakeBooths booths;
    CalendarOpen open = Calendar::Open(folder.dir.path(), *load.engine, booths, folder.clock);
    ASSERT_TRUE(open.calendar);
    CalendarWindowModel model(*open.calendar, 14);
    ScriptedPrompt prompt;
    CalendarWindow window(model, prompt);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Календарь");

    QTableWidget* grid = window.Grid();
    QTableWidgetItem* may3 = grid->item(0, 4);  // 1 May 2024 was a Wednesday
    ASSERT_EQ(may3->text(), "3");
    EXPECT_FALSE(may3->font().bold());
    emit grid->cellDoubleClicked(0, 4);
    EXPECT_TRUE(grid->item(0, 4)->font().bold());
    EXPECT_TRUE(prompt.Asked().empty());
    folder.clock.Set({2024, 5, 3, 10, 0, 0, 0});
    EXPECT_EQ(load.engine->TariffAtHour("8495", 10), 2010);  // the engine has the new mark

    booths.states[7] = 5;
    emit grid->cellDoubleClicked(0, 4);
    ASSERT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(prompt.Asked()[0].text, "Одна из кабин активна!");
    EXPECT_EQ(prompt.Asked()[0].caption, "Error Click!");
    EXPECT_TRUE(grid->item(0, 4)->font().bold());
}

TEST(AppLogWindow, ClearDeletesTheFileAndLeavesOneRow) {
    App();
    testing::TempDir dir;
    ScriptedPrompt prompt;
    AppLogViewer missing(dir / "app.log", prompt);
    ShowAppLog(missing);  // no file: the viewer says so and no window opens
    ASSERT_EQ(prompt.Asked().size(), 1u);
    EXPECT_EQ(prompt.Asked()[0].text, "Не найден app.log!");

    std::ofstream(dir / "app.log") << "12.05.2024\n10:00:01\n";
    AppLogViewer viewer(dir / "app.log", prompt);
    ASSERT_TRUE(viewer.Open());
    AppLogWindow window(viewer);
    window.show();
    EXPECT_EQ(window.windowTitle(), "View log.");
    EXPECT_EQ(ListRows(*window.Rows()), (std::vector<std::string>{"12.05.2024", "10:00:01"}));
    Click(window, "Очистка");
    EXPECT_EQ(ListRows(*window.Rows()), std::vector<std::string>{"Log. file clear!"});
    EXPECT_FALSE(std::filesystem::exists(dir / "app.log"));
    Click(window, "Закрыть");
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(viewer.Rows().empty());
}

}  // namespace
}  // namespace miradel
