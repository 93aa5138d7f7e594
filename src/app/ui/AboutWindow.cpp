#include "app/ui/AboutWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef MIRADEL_VERSION
#define MIRADEL_VERSION "0.1"
#endif

namespace miradel {

namespace {

constexpr const char* kAboutCaption = "О программе";
constexpr const char* kProgramName = "Miradel";
constexpr const char* kVersionPrefix = "Версия ";
// The repository carries no licence file.
constexpr const char* kLicenceLine = "All rights reserved.";

}  // namespace

QString AboutWindow::Version() {
    return QString::fromUtf8(MIRADEL_VERSION);
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(kAboutCaption));
    setModal(true);
    auto* name = new QLabel(QString::fromUtf8(kProgramName), this);
    QFont big = name->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.5);
    name->setFont(big);
    auto* version = new QLabel(QString::fromUtf8(kVersionPrefix) + Version(), this);
    auto* licence = new QLabel(QString::fromUtf8(kLicenceLine), this);
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    for (QLabel* label : {name, version, licence}) {
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }
    layout->addWidget(ok, 0, Qt::AlignCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace miradel
