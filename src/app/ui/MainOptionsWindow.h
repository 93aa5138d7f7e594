#pragma once
// The main options window ("Главные опции") over MainOptionsModel: four pages of captioned
// controls, "Применить" and "Отмена". Every rule is the model's; this class shows the model's
// state and forwards what the operator types, ticks and chooses. Escape and "Отмена" close
// the window without applying.
#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/options/MainOptionsFile.h"

namespace miradel {

class MainOptionsWindow : public QDialog {
    Q_OBJECT

  public:
    // Called once after "Применить" with what was saved (written false: nothing was; the
    // office then changes nothing either). The window closes afterwards in both cases.
    using AppliedHook = std::function<void(const MainOptionsSave&)>;

    // `image` fills the controls; `folder` holds the app.cfg that "Применить" rewrites.
    MainOptionsWindow(const AppConfigData& image, std::filesystem::path folder, AppliedHook applied,
                      QWidget* parent = nullptr);

    const MainOptionsModel& Model() const { return model_; }
    QTabWidget* Pages() const { return pages_; }
    QPushButton* ApplyButton() const { return apply_; }
    QPushButton* CancelButton() const { return cancel_; }
    // The widget of control i of the model's table (line edit, check box or choice list).
    QWidget* ControlWidget(std::size_t control) const;

  private:
    QWidget* MakeControl(std::size_t control);
    void ShowModel();
    void ApplyAndClose();

    MainOptionsModel model_;
    std::filesystem::path folder_;
    AppliedHook applied_;
    QTabWidget* pages_;
    QPushButton* apply_;
    QPushButton* cancel_;
    std::vector<QWidget*> widgets_;
};

}  // namespace miradel
