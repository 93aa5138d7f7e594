#include "app/ui/BoothPanel.h"

#include <QIcon>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <array>

namespace miradel {
namespace {

constexpr std::array<const char*, 11> kPictureNames = {
    "TLF_NO",    "TLF_EMPTY",   "TLF_ISH", "TLF_NABOR",  "TLF_RAZG",    "TLF_RING",
    "TLF_ALARM", "TLF_NOAVANS", "TLF_15",  "TLF_LAST30", "TLF_STOPPED",
};

QString ColourName(Colour colour) {
    switch (colour) {
        case Colour::Black:
            return "black";
        case Colour::Green:
            return "green";
        case Colour::Blue:
            return "blue";
        case Colour::Navy:
            return "navy";
        case Colour::Red:
            return "red";
        case Colour::MenuBackground:
            return "palette(window)";
        case Colour::Default:
            break;
    }
    return {};
}

QString StyleOf(const DisplayElement& e) {
    QString style;
    if (const QString c = ColourName(e.textColour); !c.isEmpty()) {
        style += "color: " + c + ";";
    }
    if (const QString c = ColourName(e.background); !c.isEmpty()) {
        style += "background-color: " + c + ";";
    }
    return style;
}

void ShowLabel(QLabel* label, const DisplayElement& e) {
    label->setText(QString::fromStdString(e.text));
    label->setStyleSheet(StyleOf(e));
    label->setAlignment(e.align == Align::Left ? Qt::AlignLeft | Qt::AlignVCenter
                                               : Qt::AlignCenter);
    label->setToolTip(QString::fromStdString(e.hint));
    label->setVisible(e.visible);
}

// A label that reports a click as the panel's button does.
class ClickLabel : public QLabel {
  public:
    ClickLabel(BoothPanel* panel) : QLabel(panel), panel_(panel) {}

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            emit panel_->Clicked(panel_->Panel());
        }
    }

  private:
    BoothPanel* panel_;
};

}  // namespace

QString PictureResource(int picture) {
    if (picture < 0 || picture >= int(kPictureNames.size())) {
        return {};
    }
    return QString(":/pictures/") + kPictureNames[picture];
}

BoothPanel::BoothPanel(int panel, QWidget* parent)
    : QWidget(parent),
      panel_(panel),
      button_(new QToolButton(this)),
      name_(new ClickLabel(this)),
      money_(new ClickLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(1);
    layout->addWidget(name_);
    layout->addWidget(button_, 1);
    layout->addWidget(money_);
    button_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button_->setIconSize(QSize(48, 48));
    button_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    button_->setText("выключен");
    button_->setToolTip("Внести аванс или рассчитать кабину - " + QString::number(panel + 1));
    name_->setText("автомат " + QString::number(panel + 1));
    money_->setText("0.00");
    setFixedSize(kPanelStep - 4, 120);
    connect(button_, &QToolButton::clicked, this, [this] { emit Clicked(panel_); });
}

void BoothPanel::Show(const BoothView& view) {
    button_->setText(QString::fromStdString(view.button.text));
    if (!view.button.hint.empty()) {
        button_->setToolTip(QString::fromStdString(view.button.hint));
    }
    if (view.button.picture != picture_) {
        picture_ = view.button.picture;
        const QString resource = PictureResource(picture_);
        button_->setIcon(resource.isEmpty() ? QIcon() : QIcon(resource));
    }
    button_->setVisible(view.button.visible);
    ShowLabel(name_, view.nameLabel);
    ShowLabel(money_, view.moneyLabel);
}

}  // namespace miradel
