#pragma once
// The app.log viewer ("View log.") over AppLogViewer: the protocol lines in a list,
// "Очистка" to delete app.log and "Закрыть" to close and release the lines.
#include <QDialog>
#include <QListWidget>

#include "app/log/AppLogViewer.h"

namespace miradel {

class AppLogWindow : public QDialog {
    Q_OBJECT

  public:
    // Shows the rows the viewer holds; the viewer must have been opened.
    explicit AppLogWindow(AppLogViewer& viewer, QWidget* parent = nullptr);

    QListWidget* Rows() const { return rows_; }

  private:
    void ShowRows();

    AppLogViewer& viewer_;
    QListWidget* rows_;
};

// "Читать протокол МБ(app.log)": opens the viewer and shows the window modally; a missing
// app.log is told by the viewer and no window opens.
void ShowAppLog(AppLogViewer& viewer, QWidget* parent = nullptr);

}  // namespace miradel
