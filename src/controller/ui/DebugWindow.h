#pragma once
// The controller debug window (" Debug window") over ControllerDebugModel. It never waits for
// the engine: a timer polls a copy of what the engine published and shows it when it changed,
// and every button reaches the model through the engine's post hook, so the model is only
// used on the engine thread. Esc or the close box only hides the window: the exchange goes on.
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>

#include "controller/ControllerDebugModel.h"
#include "controller/ExchangeDebugView.h"

namespace miradel {

class DebugWindow : public QDialog {
    Q_OBJECT

  public:
    using Snapshot = ExchangeDebugView::Snapshot;
    using PostToEngine = std::function<void(std::function<void()>)>;

    static constexpr int kRefreshMs = 100;

    // `snapshot` returns a copy of the engine's published fields and may be called at any
    // time; `postToEngine` runs work on the engine thread (or at once, the model never blocks).
    DebugWindow(ControllerDebugModel& model, std::function<Snapshot()> snapshot,
                PostToEngine postToEngine, QWidget* parent = nullptr);

    // Shows the latest copy when the engine changed it since the last look.
    void Refresh();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QPushButton* AddButton(std::string_view caption,
                           std::function<void(ControllerDebugModel&)> command);
    void Post(std::function<void(ControllerDebugModel&)> command);
    void ShowList(const std::deque<std::string>& lines);
    void Closed();

    ControllerDebugModel& model_;
    std::function<Snapshot()> snapshot_;
    PostToEngine postToEngine_;
    QTimer refresh_;
    bool anyShown_ = false;
    uint64_t shownVersion_ = 0;
    std::deque<std::string> shownLines_;

    QLabel* countQueue_;
    QLabel* flagSend_;
    QLabel* lamp_;
    QLabel* time_;
    QLabel* delay_;
    QLabel* repeat_;
    QLabel* errorCode_;
    QLabel* reason_;
    QLabel* inputError_;
    QLabel* hardwareError_;
    QLabel* secondTick_;
    QLabel* viewLabel_;
    QCheckBox* blockService_;
    QListWidget* viewList_;
    QLineEdit* imitatorLine_;
};

}  // namespace miradel
