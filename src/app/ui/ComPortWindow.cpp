#include "app/ui/ComPortWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace miradel {

namespace {

QString Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

}  // namespace

ComPortWindow::ComPortWindow(AppConfig& config, std::filesystem::path folder, QWidget* parent)
    : QDialog(parent),
      model_(config, std::move(folder)),
      message_(new QLabel(this)),
      apply_(new QPushButton(kComPortApplyText, this)),
      close_(new QPushButton(kComPortCloseText, this)) {
    setWindowTitle(kComPortTitle);

    auto* grid = new QGridLayout;
    for (int c = 0; c < ComPortModel::kChoiceCount; ++c) {
        auto* list = new QComboBox(this);
        for (const std::string& name : ComPortModel::PortNames()) {
            list->addItem(Q(name));
        }
        auto* edit = new QLineEdit(this);
        edit->setToolTip("Устройство этого порта на данном компьютере; пусто — по умолчанию");
        ports_[c] = list;
        devices_[c] = edit;
        grid->addWidget(new QLabel(Q(ComPortModel::Caption(c)), this), c, 0);
        grid->addWidget(list, c, 1);
        grid->addWidget(edit, c, 2);
        connect(list, &QComboBox::activated, this, [this, c](int port) {
            model_.SetPort(c, port);
            ShowModel();
        });
        connect(edit, &QLineEdit::textEdited, this, [this, c](const QString& text) {
            model_.SetDevicePath(c, text.toStdString());
            ShowModel();  // another choice on the same port shows the same path
        });
    }
    grid->setColumnStretch(2, 1);

    message_->setWordWrap(true);
    std::string problems;
    for (const std::string& line : model_.PortMapProblems()) {
        problems += (problems.empty() ? "" : "\n") + line;
    }
    message_->setText(Q(problems));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {apply_, close_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(message_);
    layout->addLayout(buttons);

    connect(apply_, &QPushButton::clicked, this, &ComPortWindow::Apply);
    connect(close_, &QPushButton::clicked, this, &ComPortWindow::reject);
    ShowModel();
}

QComboBox* ComPortWindow::PortList(int choice) const {
    return choice >= 0 && choice < ComPortModel::kChoiceCount ? ports_[choice] : nullptr;
}

QLineEdit* ComPortWindow::DeviceEdit(int choice) const {
    return choice >= 0 && choice < ComPortModel::kChoiceCount ? devices_[choice] : nullptr;
}

void ComPortWindow::ShowModel() {
    for (int c = 0; c < ComPortModel::kChoiceCount; ++c) {
        const QSignalBlocker quietList(ports_[c]);
        const QSignalBlocker quietEdit(devices_[c]);
        ports_[c]->setCurrentIndex(model_.Port(c));
        const bool hasPort = model_.Port(c) >= 0;
        devices_[c]->setEnabled(hasPort);
        devices_[c]->setPlaceholderText(Q(model_.DefaultDevice(c)));
        const QString path = Q(model_.DevicePath(c));
        if (devices_[c]->text() != path) {
            devices_[c]->setText(path);
        }
    }
}

void ComPortWindow::Apply() {
    const std::string error = model_.Apply();
    message_->setStyleSheet(error.empty() ? "" : "color: red");
    message_->setText(Q(error));
    ShowModel();
}

}  // namespace miradel
