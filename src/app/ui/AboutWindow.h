#pragma once
// "О программе": the program's name, its version and the licence line.
#include <QDialog>
#include <QString>

namespace miradel {

class AboutWindow : public QDialog {
    Q_OBJECT

  public:
    explicit AboutWindow(QWidget* parent = nullptr);

    // The build may set MIRADEL_VERSION; otherwise the version of the sources.
    static QString Version();
};

}  // namespace miradel
