#include "BoothSimulatorWindow.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace miradel::office {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

BoothSimulatorWindow::BoothSimulatorWindow(kabsim::SimulatedClients& clients, LineReader readLine,
                                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(clients),
      readLine_(std::move(readLine)),
      booth_(new QComboBox(this)),
      digits_(new QLineEdit(this)),
      status_(new QLabel(this)) {
    setWindowTitle(FromUtf8(kabsim::BoothSimulatorModel::kTitle));

    auto* banner = new QLabel(FromUtf8(kabsim::BoothSimulatorModel::kBanner), this);
    banner->setWordWrap(true);
    banner->setFrameShape(QFrame::StyledPanel);
    banner->setStyleSheet("QLabel { background: #fff3c4; padding: 4px; }");

    for (int n = 1; n <= kabsim::BoothSimulatorModel::kBooths; ++n) {
        booth_->addItem(QString("Booth %1").arg(n), n);
    }
    digits_->setPlaceholderText("digits to dial");
    auto* lift = new QPushButton("Lift handset", this);
    auto* dial = new QPushButton("Dial", this);
    auto* answer = new QPushButton("Answer", this);
    auto* hangUp = new QPushButton("Hang up", this);
    auto* inductor = new QPushButton("Turn inductor", this);
    status_->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(banner);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Booth:", this), 0, 0);
    grid->addWidget(booth_, 0, 1);
    grid->addWidget(new QLabel("Dial:", this), 1, 0);
    grid->addWidget(digits_, 1, 1);
    grid->addWidget(dial, 1, 2);
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {lift, answer, hangUp, inductor}) {
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    layout->addWidget(status_);

    connect(booth_, &QComboBox::currentIndexChanged, this, [this](int) {
        model_.SelectBooth(booth_->currentData().toInt());
        RefreshStatus();
    });
    connect(digits_, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.SetDialText(text.toStdString()); });
    connect(digits_, &QLineEdit::returnPressed, this, [this] { model_.Dial(); });
    connect(dial, &QPushButton::clicked, this, [this] { model_.Dial(); });
    connect(lift, &QPushButton::clicked, this, [this] { model_.Lift(); });
    connect(answer, &QPushButton::clicked, this, [this] { model_.Answer(); });
    connect(hangUp, &QPushButton::clicked, this, [this] { model_.HangUp(); });
    connect(inductor, &QPushButton::clicked, this, [this] { model_.Inductor(); });
    connect(&refresh_, &QTimer::timeout, this, &BoothSimulatorWindow::RefreshStatus);
    refresh_.setInterval(kRefreshMs);  // the first reading comes when the window is shown
}

void BoothSimulatorWindow::RefreshStatus() {
    if (readLine_) {
        model_.ShowLine(readLine_(model_.Line()));
    }
    status_->setText(FromUtf8(model_.Status()));
}

void BoothSimulatorWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    RefreshStatus();
    refresh_.start();
}

void BoothSimulatorWindow::hideEvent(QHideEvent* event) {
    refresh_.stop();  // nobody looks: no reading of the simulator
    QWidget::hideEvent(event);
}

}  // namespace miradel::office
