#include "app/ui/MainWindow.h"

#include <QCloseEvent>
#include <QDate>
#include <QStatusBar>

#include "app/ui/AdvanceDialog.h"
#include "booths/BoothKinds.h"

// The pictures live in a static library: their resources are registered by hand.
static void RegisterPictures() {
    Q_INIT_RESOURCE(pictures);
}

namespace miradel {
namespace {

bool OpensAdvanceDialog(int kind) {
    return kind == kKindAvtomat || kind == kKindVinos || kind == kKindFax || kind == kKindUniver;
}

}  // namespace

MainWindow::MainWindow(const PanelFeed& feed, const PublishedProgramStatus& status,
                       MainWindowHooks hooks, QWidget* parent)
    : QMainWindow(parent),
      feed_(feed),
      status_(status),
      hooks_(std::move(hooks)),
      state_(new QLabel(this)),
      date_(new QLabel(this)) {
    RegisterPictures();
    auto* board = new QWidget(this);
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
    statusBar()->addPermanentWidget(date_);
    setWindowTitle(QString::fromUtf8(kStateLoading));
    connect(&timer_, &QTimer::timeout, this, &MainWindow::Refresh);
    timer_.start(kRefreshPeriodMs);
    Refresh();
}

void MainWindow::Refresh() {
    if (hooks_.caption) {
        setWindowTitle(QString::fromStdString(hooks_.caption()));
    }
    const PublishedProgramStatus::State state = status_.Latest();
    state_->setText(QString::fromStdString(state.text));
    state_->setStyleSheet(state.colour == StateColour::Red ? "color: red;" : "color: black;");
    date_->setText(QDate::currentDate().toString("dd.MM.yyyy"));
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
    const BoothSnapshot booth = frame_.snapshots[panel];
    if (!OpensAdvanceDialog(booth.kind)) {
        return;
    }
    if (hooks_.dialogOpen) {
        hooks_.dialogOpen(panel, true);
    }
    int result = 0;
    if (hooks_.runDialog) {
        result = hooks_.runDialog(booth);
    } else {
        AdvanceDialog dialog(booth, this);
        dialog.exec();
        result = dialog.Result();
    }
    if (hooks_.dialogOpen) {
        hooks_.dialogOpen(panel, false);
    }
    if (result != 0 && hooks_.applyResult) {
        hooks_.applyResult(panel, result);
    }
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
