#pragma once
// The demo office's booth simulator window: plays the clients in the booths on the simulated
// booth controller. Shown only by `miradel --demo` with a display, beside the main window and
// not modal. Every rule is BoothSimulatorModel's; this class shows it and forwards the buttons.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "BoothSimulatorModel.h"

namespace miradel::office {

// Declares no signals or slots of its own (its buttons connect to lambdas), so it needs no moc.
class BoothSimulatorWindow : public QWidget {
  public:
    // Reads one line's record (0..15) for the status line; called on the window thread while
    // the window is shown, so it must answer promptly. May be empty: no status is shown.
    using LineReader = std::function<kabsim::LineRecord(int line)>;

    static constexpr int kRefreshMs = 250;

    BoothSimulatorWindow(kabsim::SimulatedClients& clients, LineReader readLine,
                         QWidget* parent = nullptr);

    const kabsim::BoothSimulatorModel& Model() const { return model_; }
    // Reads the chosen booth's record and shows its status now.
    void RefreshStatus();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    kabsim::BoothSimulatorModel model_;
    LineReader readLine_;
    QComboBox* booth_;
    QLineEdit* digits_;
    QLabel* status_;
    QTimer refresh_;
};

}  // namespace miradel::office
