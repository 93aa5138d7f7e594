#include "controller/ui/DebugWindow.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "controller/DebugWindowTexts.h"

namespace miradel {

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* NewButton(std::string_view caption, QWidget* parent) {
    auto* button = new QPushButton(Text(caption), parent);
    button->setAutoDefault(false);
    return button;
}

QLabel* Field(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setMinimumWidth(80);
    return label;
}

}  // namespace

DebugWindow::DebugWindow(ControllerDebugModel& model, std::function<Snapshot()> snapshot,
                         PostToEngine postToEngine, QWidget* parent)
    : QDialog(parent),
      model_(model),
      snapshot_(std::move(snapshot)),
      postToEngine_(std::move(postToEngine)),
      countQueue_(Field(this, "countQueue")),
      flagSend_(Field(this, "flagSend")),
      lamp_(Field(this, "lamp")),
      time_(Field(this, "time")),
      delay_(Field(this, "delay")),
      repeat_(Field(this, "repeat")),
      errorCode_(Field(this, "errorCode")),
      reason_(Field(this, "reason")),
      inputError_(Field(this, "inputError")),
      hardwareError_(Field(this, "hardwareError")),
      secondTick_(Field(this, "secondTick")),
      viewLabel_(Field(this, "viewLabel")),
      blockService_(new QCheckBox(Text(kDebugBlockService), this)),
      viewList_(new QListWidget(this)),
      imitatorLine_(new QLineEdit(Text(kImitatorInitialLine), this)) {
    setWindowTitle(Text(kDebugCaption));
    viewList_->setObjectName("viewList");
    imitatorLine_->setObjectName("imitatorLine");
    lamp_->setFixedSize(16, 16);

    auto* fields = new QGridLayout;
    int row = 0;
    fields->addWidget(new QLabel(Text(kDebugCountQueue), this), row, 0);
    fields->addWidget(countQueue_, row++, 1);
    fields->addWidget(new QLabel(Text(kDebugFlagSend), this), row, 0);
    fields->addWidget(flagSend_, row, 1);
    fields->addWidget(lamp_, row++, 2);
    fields->addWidget(time_, row++, 0, 1, 3);
    fields->addWidget(delay_, row++, 0, 1, 3);
    fields->addWidget(repeat_, row++, 0, 1, 3);
    fields->addWidget(new QLabel(Text(kDebugErrorCode), this), row, 0);
    fields->addWidget(errorCode_, row++, 1);
    fields->addWidget(reason_, row++, 0, 1, 3);
    fields->addWidget(inputError_, row++, 0, 1, 3);
    fields->addWidget(hardwareError_, row++, 0, 1, 3);
    fields->addWidget(secondTick_, row++, 0);

    auto* commands = new QVBoxLayout;
    commands->addWidget(AddButton(kDebugStartStopView, [](auto& m) { m.StartStopView(); }));
    commands->addWidget(AddButton(kDebugClearView, [](auto& m) { m.ClearView(); }));
    commands->addWidget(AddButton(kDebugClearError, [](auto& m) { m.ClearError(); }));
    commands->addWidget(AddButton(kDebugConfirm, [](auto& m) { m.Confirm(); }));
    commands->addWidget(AddButton(kDebugCallBooths12, [](auto& m) { m.CallBooths12(); }));
    commands->addWidget(AddButton(kDebugReleaseBooths12, [](auto& m) { m.ReleaseBooths12(); }));
    commands->addWidget(blockService_);
    commands->addStretch();
    connect(blockService_, &QCheckBox::toggled, this,
            [this](bool block) { Post([block](auto& m) { m.SetBlockService(block); }); });

    // The imitator takes the line from its field at the moment of the key, so the model
    // always judges the text the operator sees.
    auto* imitator = new QGroupBox(Text(kImitatorGroup), this);
    auto* imitatorLayout = new QVBoxLayout(imitator);
    auto* lineRow = new QHBoxLayout;
    lineRow->addWidget(new QLabel(Text(kImitatorBefore), imitator));
    lineRow->addWidget(imitatorLine_);
    lineRow->addWidget(new QLabel(Text(kImitatorAfter), imitator));
    imitatorLayout->addLayout(lineRow);
    auto* keys = new QGridLayout;
    int index = 0;
    for (const ImitatorKey& key : kImitatorKeys) {
        const ImitatorButton button = key.button;
        QPushButton* b = NewButton(key.label, imitator);
        connect(b, &QPushButton::clicked, this, [this, button] {
            const std::string line = imitatorLine_->text().toStdString();
            Post([line, button](ControllerDebugModel& m) {
                m.SetImitatorLine(line);
                m.Imitate(button);
            });
        });
        keys->addWidget(b, index / 5, index % 5);
        ++index;
    }
    imitatorLayout->addLayout(keys);

    auto* top = new QHBoxLayout;
    top->addLayout(fields);
    top->addLayout(commands);
    top->addWidget(imitator);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(viewLabel_);
    layout->addWidget(viewList_, 1);

    connect(&refresh_, &QTimer::timeout, this, &DebugWindow::Refresh);
    connect(this, &QDialog::finished, this, &DebugWindow::Closed);
    Refresh();
}

QPushButton* DebugWindow::AddButton(std::string_view caption,
                                    std::function<void(ControllerDebugModel&)> command) {
    QPushButton* button = NewButton(caption, this);
    connect(button, &QPushButton::clicked, this, [this, command] { Post(command); });
    return button;
}

void DebugWindow::Post(std::function<void(ControllerDebugModel&)> command) {
    if (!postToEngine_) {
        return;
    }
    ControllerDebugModel& model = model_;
    postToEngine_([&model, command] { command(model); });
}

void DebugWindow::Refresh() {
    if (!snapshot_) {
        return;
    }
    const Snapshot s = snapshot_();
    if (anyShown_ && s.version == shownVersion_) {
        return;
    }
    if (!anyShown_) {
        // Afterwards the box is the operator's: a copy taken before the engine ran the
        // toggle must not undo the tick.
        const QSignalBlocker quiet(blockService_);
        blockService_->setChecked(s.blockService);
    }
    anyShown_ = true;
    shownVersion_ = s.version;
    countQueue_->setText(QString::fromStdString(s.countQueue));
    flagSend_->setText(QString::fromStdString(s.flagSend));
    lamp_->setStyleSheet(s.lamp ? "background-color: lime; border: 1px solid gray;"
                                : "background-color: darkgreen; border: 1px solid gray;");
    time_->setText(QString::fromStdString(s.timeText));
    delay_->setText(QString::fromStdString(s.delayText));
    repeat_->setText(QString::fromStdString(s.repeatText));
    errorCode_->setText(QString::fromStdString(s.errorCode));
    reason_->setText(QString::fromStdString(s.reason));
    inputError_->setText(QString::fromStdString(s.inputError));
    hardwareError_->setText(QString::fromStdString(s.hardwareError));
    secondTick_->setText(QString::number(s.secondTick));
    viewLabel_->setText(Text(ExchangeDebugView::ViewLabel(s.viewOn)));
    ShowList(s.view);
}

void DebugWindow::ShowList(const std::deque<std::string>& lines) {
    if (lines == shownLines_) {
        return;
    }
    shownLines_ = lines;
    viewList_->setUpdatesEnabled(false);
    viewList_->clear();
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) {
        rows.append(QString::fromStdString(line));
    }
    viewList_->addItems(rows);
    viewList_->setUpdatesEnabled(true);
}

void DebugWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Refresh();
    refresh_.start(kRefreshMs);
}

void DebugWindow::hideEvent(QHideEvent* event) {
    refresh_.stop();
    QDialog::hideEvent(event);
}

void DebugWindow::Closed() {
    // The engine turns the view off and empties it; the window forgets its copy at once.
    Post([](ControllerDebugModel& m) { m.Closed(); });
    shownLines_.clear();
    viewList_->clear();
    anyShown_ = false;
}

}  // namespace miradel
