#pragma once
// The office's main window: sixteen booth panels in two rows of eight, the caption from the
// office and the status bar with the program state and the date. It paints only the copies
// the engine thread publishes (PanelFeed), read by a timer on the window thread, and hands
// the operator's answers back through the hooks; it never waits for the engine.
#include <QDate>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/MainMenu.h"
#include "app/ui/AdvanceDialog.h"
#include "app/ui/BoothPanel.h"
#include "app/ui/PanelFeed.h"

namespace miradel {

struct MainWindowHooks {
    // The window caption ("Работает оператор - 99"), asked on the window thread.
    std::function<std::string()> caption;
    // The tariff indicator ("Тариф - обычный" / "Тариф - льготный"), read once a refresh.
    std::function<std::string()> tariff;
    // The booth's snapshot as it is now (a click acts on it, not on the last painted copy);
    // empty: the last published copy.
    std::function<BoothSnapshot(int panel)> snapshot;
    // The booth's dialog-open flag, raised while its advance dialog is shown.
    std::function<void(int panel, bool open)> dialogOpen;
    // The advance dialog's result for a panel, to be applied on the engine thread.
    std::function<void(int panel, int32_t result)> applyResult;
    // Runs the advance dialog for a booth and returns its result; empty: the modal dialog.
    std::function<int(const BoothSnapshot&)> runDialog;
    // The window is being closed: true lets it close.
    std::function<bool()> closeRequest;
    // A menu item or tool button (`panel` for "Кабина 1" … "Кабина 16").
    std::function<void(MenuCommand command, int panel)> command;
    // The advance dialog is shown (or closed: nullptr), for the booth's digits and refresh.
    std::function<void(AdvanceDialog* dialog)> dialogShown;
    // "Доплата" closed the advance dialog of this panel.
    std::function<void(int panel)> topUp;
    // A click on an order booth: booth event 1.
    std::function<void(int panel)> orderEvent;
    // A click on the dial-around booth: its information window.
    std::function<void(int panel)> aroundInfo;
    // F1 (the topic) and F12.
    std::function<void(int topic)> help;
    std::function<void()> debugWindow;
    // A click on the state indicator (drops the temporary privileges while they are on).
    std::function<void()> stateClicked;
};

inline constexpr int kRefreshPeriodMs = 200;

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    MainWindow(const PanelFeed& feed, const PublishedProgramStatus& status, MainWindowHooks hooks,
               QWidget* parent = nullptr);

    // Reads the latest published copies and repaints what changed (the timer calls it).
    void Refresh();
    // The operator clicked panel `panel` (0..15).
    void ClickPanel(int panel);
    // The menus and buttons as the first tick sets them up from the options.
    void ApplyMenuSetup(const MenuSetup& setup);
    // The window's width for the enabled panels.
    void SetBoardWidth(int width);

    QAction* Action(MenuCommand command, int panel = -1) const;
    QMenu* Menu(const std::string& title) const;
    QLabel* RemoteLabel() const { return remote_; }

    const BoothPanel& Panel(int panel) const { return *panels_.at(panel); }
    QString StateText() const { return state_->text(); }
    QString TariffText() const { return tariff_->text(); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildMenus();
    static void SetLabel(QLabel* label, const QString& text, const char* style);
    void BuildToolBar();

    const PanelFeed& feed_;
    const PublishedProgramStatus& status_;
    MainWindowHooks hooks_;
    std::array<BoothPanel*, kBoothCount> panels_{};
    QLabel* state_;
    QLabel* remote_ = nullptr;
    QAction* remoteAction_ = nullptr;
    QWidget* board_ = nullptr;
    struct ItemAction {
        const MenuEntry* entry;
        QAction* action;
    };
    std::vector<ItemAction> items_;
    std::vector<std::pair<MenuCommand, QAction*>> buttons_;
    std::map<std::string, QMenu*> menus_;
    QLabel* date_;
    QLabel* tariff_;
    QDate shownDate_;
    QTimer timer_;
    uint64_t shownSerial_ = 0;
    PanelFrame frame_;
};

}  // namespace miradel
