#include "app/ui/AppLogWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace miradel {

AppLogWindow::AppLogWindow(AppLogViewer& viewer, QWidget* parent)
    : QDialog(parent), viewer_(viewer), rows_(new QListWidget(this)) {
    setWindowTitle(QString::fromUtf8(kAppLogCaption));
    setModal(true);
    resize(600, 400);
    auto* clear = new QPushButton(QString::fromUtf8(kAppLogClearButton), this);
    auto* close = new QPushButton(QString::fromUtf8(kAppLogCloseButton), this);
    for (QPushButton* b : {clear, close}) {
        b->setAutoDefault(false);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(clear);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rows_, 1);
    layout->addLayout(buttons);

    connect(clear, &QPushButton::clicked, this, [this] {
        viewer_.Clear();
        ShowRows();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    // However the window is closed, the loaded lines are let go.
    connect(this, &QDialog::finished, this, [this] {
        viewer_.Close();
        rows_->clear();
    });
    ShowRows();
}

void AppLogWindow::ShowRows() {
    rows_->clear();
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(viewer_.Rows().size()));
    for (const std::string& row : viewer_.Rows()) {
        rows.append(QString::fromStdString(row));
    }
    rows_->addItems(rows);
}

void ShowAppLog(AppLogViewer& viewer, QWidget* parent) {
    if (!viewer.Open()) {
        return;
    }
    AppLogWindow window(viewer, parent);
    window.exec();
}

}  // namespace miradel
