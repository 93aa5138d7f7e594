#include "app/ui/MainWindow.h"

#include <QCloseEvent>
#include <QDate>
#include <QKeyEvent>
#include <QLocale>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "app/BoothCommands.h"
#include "app/ui/AdvanceDialog.h"
#include "booths/BoothKinds.h"

// The pictures live in a static library: their resources are registered by hand.
static void RegisterPictures() {
    Q_INIT_RESOURCE(pictures);
}

namespace miradel {
MainWindow::MainWindow(const PanelFeed& feed, const PublishedProgramStatus& status,
                       MainWindowHooks hooks, QWidget* parent)
    : QMainWindow(parent),
      feed_(feed),
      status_(status),
      hooks_(std::move(hooks)),
      state_(new QLabel(this)),
      date_(new QLabel(this)),
      tariff_(new QLabel(this)) {
    RegisterPictures();
    auto* board = new QWidget(this);
    board_ = board;
    constexpr int kRowHeight = 124;
    for (int panel = 0; panel < kBoothCount; ++panel) {
        auto* p = new BoothPanel(panel, board);
        // Odd panels (1, 3 ...) in the upper row, even ones in the lower, two per column.
        p->move(4 + (panel / 2) * kPanelStep, 4 + (panel % 2) * kRowHeight);
        connect(p, &BoothPanel::Clicked, this, &MainWindow::ClickPanel);
        panels_[panel] = p;
    }
    board->setFixedSize(8 + 8 * kPanelStep, 8 + 2 * kRowHeight);
    setCentralWidget(board);
    statusBar()->addWidget(state_, 1);
    state_->installEventFilter(this);
    statusBar()->addPermanentWidget(tariff_);
    statusBar()->addPermanentWidget(date_);
    setWindowTitle(QString::fromUtf8(kStateLoading));
    BuildMenus();
    BuildToolBar();
    connect(&timer_, &QTimer::timeout, this, &MainWindow::Refresh);
    timer_.start(kRefreshPeriodMs);
    Refresh();
}

void MainWindow::SetLabel(QLabel* label, const QString& text, const char* style) {
    if (label->text() != text) {
        label->setText(text);
    }
    if (label->styleSheet() != QLatin1String(style)) {
        label->setStyleSheet(style);
    }
}

void MainWindow::Refresh() {
    if (hooks_.caption) {
        setWindowTitle(QString::fromStdString(hooks_.caption()));
    }
    const PublishedProgramStatus::State state = status_.Latest();
    // Five refreshes a second: the style sheets are set again only when the colour changes.
    SetLabel(state_, QString::fromStdString(state.text),
             state.colour == StateColour::Red ? "color: red; font-weight: bold;"
                                              : "color: black; font-weight: bold;");
    const QDate today = QDate::currentDate();
    if (today != shownDate_) {
        shownDate_ = today;
        // The long date of the office's language ("11 декабря 2026 г.").
        date_->setText(
            QLocale(QLocale::Russian, QLocale::Russia).toString(today, QLocale::LongFormat));
    }
    if (hooks_.tariff) {
        const std::string tariff = hooks_.tariff();
        SetLabel(tariff_, QString::fromStdString(tariff),
                 tariff == "Тариф - обычный" ? "color: black;" : "color: red;");
    }
    if (feed_.Serial() == shownSerial_) {
        return;
    }
    PanelFrame frame = feed_.Latest();
    for (int panel = 0; panel < kBoothCount; ++panel) {
        if (shownSerial_ == 0 || !(frame.views[panel] == frame_.views[panel])) {
            panels_[panel]->Show(frame.views[panel]);
        }
    }
    shownSerial_ = frame.serial;
    frame_ = std::move(frame);
}

void MainWindow::ClickPanel(int panel) {
    if (panel < 0 || panel >= kBoothCount || shownSerial_ == 0) {
        return;
    }
    const BoothSnapshot booth = hooks_.snapshot ? hooks_.snapshot(panel) : frame_.snapshots[panel];
    switch (ClickActionFor(booth)) {
        case BoothClickAction::kNothing:
            return;
        case BoothClickAction::kOrderEvent:
            if (hooks_.orderEvent) {
                hooks_.orderEvent(panel);
            }
            return;
        case BoothClickAction::kAroundInfo:
            if (hooks_.aroundInfo) {
                hooks_.aroundInfo(panel);
            }
            return;
        case BoothClickAction::kAdvanceDialog:
            break;
    }
    if (hooks_.dialogOpen) {
        hooks_.dialogOpen(panel, true);
    }
    int result = 0;
    std::optional<int> topUpPanel;
    if (hooks_.runDialog) {
        result = hooks_.runDialog(booth);
    } else {
        AdvanceDialog dialog(booth, this);
        dialog.SetHelp(hooks_.help);
        if (hooks_.dialogShown) {
            hooks_.dialogShown(&dialog);
        }
        dialog.exec();
        if (hooks_.dialogShown) {
            hooks_.dialogShown(nullptr);
        }
        result = dialog.Result();
        topUpPanel = dialog.TopUpPanel();
    }
    if (hooks_.dialogOpen) {
        hooks_.dialogOpen(panel, false);
    }
    if (result != 0 && hooks_.applyResult) {
        hooks_.applyResult(panel, result);
    }
    if (topUpPanel && hooks_.topUp) {
        hooks_.topUp(*topUpPanel);
    }
}

void MainWindow::BuildMenus() {
    for (const std::string& title : MainMenuTitles()) {
        menus_[title] = menuBar()->addMenu(QString::fromStdString(title));
    }
    std::map<std::string, QMenu*> submenus;
    for (const MenuEntry& entry : MainMenuEntries()) {
        QMenu* menu = menus_.at(entry.menu);
        if (!entry.submenu.empty()) {
            QMenu*& sub = submenus[entry.menu + "/" + entry.submenu];
            if (sub == nullptr) {
                sub = menu->addMenu(QString::fromStdString(entry.submenu));
            }
            menu = sub;
        }
        if (entry.separatorBefore) {
            menu->addSeparator();
        }
        QAction* action = menu->addAction(QString::fromStdString(entry.caption));
        if (!entry.shortcut.empty()) {
            action->setShortcut(QKeySequence(QString::fromStdString(entry.shortcut)));
        }
        action->setVisible(EntryVisible(entry, MenuSetup{}));
        action->setCheckable(entry.command == MenuCommand::kTemporaryPrivileges);
        const MenuCommand command = entry.command;
        const int panel = entry.panel;
        connect(action, &QAction::triggered, this, [this, command, panel] {
            if (hooks_.command) {
                hooks_.command(command, panel);
            }
        });
        items_.push_back({&entry, action});
    }
}

void MainWindow::BuildToolBar() {
    QToolBar* bar = addToolBar("Miradel");
    bar->setMovable(false);
    for (const ToolButton& button : ToolBarButtons()) {
        QAction* action = bar->addAction(QString::fromStdString(button.hint));
        action->setToolTip(QString::fromStdString(button.hint));
        const MenuCommand command = button.command;
        connect(action, &QAction::triggered, this, [this, command] {
            if (hooks_.command) {
                hooks_.command(command, -1);
            }
        });
        buttons_.emplace_back(command, action);
        if (command == MenuCommand::kAroundStartStop) {
            remote_ = new QLabel("Remote", bar);
            remote_->setStyleSheet("color: red; font-weight: bold;");
        }
        if (command == MenuCommand::kAroundMode) {
            remoteAction_ = bar->addWidget(remote_);
            remoteAction_->setVisible(false);
        }
    }
    // The drawer button waits for a 114.1Ф register.
    ApplyMenuSetup(MenuSetup{});
}

void MainWindow::ApplyMenuSetup(const MenuSetup& setup) {
    for (const ItemAction& item : items_) {
        item.action->setVisible(EntryVisible(*item.entry, setup));
        item.action->setEnabled(EntryEnabled(*item.entry, setup));
    }
    for (auto& [title, menu] : menus_) {
        menu->menuAction()->setVisible(MenuVisible(title, setup));
        menu->setEnabled(MenuEnabled(title, setup));
    }
    for (auto& [command, action] : buttons_) {
        action->setEnabled(ToolButtonEnabled(command, setup));
    }
    if (remoteAction_ != nullptr) {
        remoteAction_->setVisible(setup.remoteAround);
    }
}

void MainWindow::SetBoardWidth(int width) {
    resize(width, height());
}

QAction* MainWindow::Action(MenuCommand command, int panel) const {
    for (const ItemAction& item : items_) {
        if (item.entry->command == command && (panel < 0 || item.entry->panel == panel)) {
            return item.action;
        }
    }
    for (const auto& [c, action] : buttons_) {
        if (c == command) {
            return action;
        }
    }
    return nullptr;
}

QMenu* MainWindow::Menu(const std::string& title) const {
    auto it = menus_.find(title);
    return it == menus_.end() ? nullptr : it->second;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == state_ && event->type() == QEvent::MouseButtonRelease && hooks_.stateClicked) {
        hooks_.stateClicked();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && hooks_.help) {
        hooks_.help(-1);  // the office knows whether it is autonomous
        return;
    }
    if (event->key() == Qt::Key_F12 && hooks_.debugWindow) {
        hooks_.debugWindow();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (hooks_.closeRequest && !hooks_.closeRequest()) {
        event->ignore();
        return;
    }
    timer_.stop();
    event->accept();
}

}  // namespace miradel
