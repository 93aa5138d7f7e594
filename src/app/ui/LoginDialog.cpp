#include "app/ui/LoginDialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace miradel {

std::optional<std::string> AskLoginPassword(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle("Паспорт");
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel("Ввести пароль:", &dialog));
    auto* input = new QLineEdit(&dialog);
    input->setObjectName("password");
    input->setEchoMode(QLineEdit::Password);
    input->setStyleSheet("lineedit-password-character: 42");  // '*'
    layout->addWidget(input);
    auto* buttons = new QHBoxLayout;
    auto* apply = new QPushButton("Применить", &dialog);
    auto* cancel = new QPushButton("Отмена", &dialog);
    apply->setDefault(true);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    QObject::connect(apply, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    input->setFocus();
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return input->text().toStdString();
}

}  // namespace miradel
