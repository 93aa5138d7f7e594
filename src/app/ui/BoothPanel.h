#pragma once
// One booth panel: the button with the state picture above its caption, the name label and
// the money label. It only shows a published BoothView and reports clicks.
#include <QLabel>
#include <QToolButton>
#include <QWidget>

#include "booths/DisplayElement.h"

namespace miradel {

inline constexpr int kPanelStep = 88;  // pixels between the panels' columns

// The resource name of a picture number ("TLF_EMPTY" for 1), empty when there is none.
QString PictureResource(int picture);

class BoothPanel : public QWidget {
    Q_OBJECT

  public:
    BoothPanel(int panel, QWidget* parent = nullptr);

    void Show(const BoothView& view);

    int Panel() const { return panel_; }
    QString Caption() const { return button_->text(); }
    QString Name() const { return name_->text(); }
    QString Money() const { return money_->text(); }
    int Picture() const { return picture_; }

  signals:
    void Clicked(int panel);

  private:
    int panel_;
    int picture_ = -2;
    QToolButton* button_;
    QLabel* name_;
    QLabel* money_;
};

}  // namespace miradel
