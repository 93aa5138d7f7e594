#pragma once
// The office's main window: sixteen booth panels in two rows of eight, the caption from the
// office and the status bar with the program state and the date. It paints only the copies
// the engine thread publishes (PanelFeed), read by a timer on the window thread, and hands
// the operator's answers back through the hooks; it never waits for the engine.
#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <string>

#include "app/ui/BoothPanel.h"
#include "app/ui/PanelFeed.h"

namespace miradel {

struct MainWindowHooks {
    // The window caption ("Работает оператор - 99"), asked on the window thread.
    std::function<std::string()> caption;
    // The booth's dialog-open flag, raised while its advance dialog is shown.
    std::function<void(int panel, bool open)> dialogOpen;
    // The advance dialog's result for a panel, to be applied on the engine thread.
    std::function<void(int panel, int32_t result)> applyResult;
    // Runs the advance dialog for a booth and returns its result; empty: the modal dialog.
    std::function<int(const BoothSnapshot&)> runDialog;
    // The window is being closed: true lets it close.
    std::function<bool()> closeRequest;
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

    const BoothPanel& Panel(int panel) const { return *panels_.at(panel); }
    QString StateText() const { return state_->text(); }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    const PanelFeed& feed_;
    const PublishedProgramStatus& status_;
    MainWindowHooks hooks_;
    std::array<BoothPanel*, kBoothCount> panels_{};
    QLabel* state_;
    QLabel* date_;
    QTimer timer_;
    uint64_t shownSerial_ = 0;
    PanelFrame frame_;
};

}  // namespace miradel
