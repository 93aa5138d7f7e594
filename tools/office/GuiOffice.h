#pragma once
// The office with its main window, on the real clock.
#include <QWidget>
#include <functional>
#include <string>

namespace miradel::office {

struct GuiOptions {
    std::string workdir;
    std::string device;  // the controller's port; empty: ports.cfg
    // Windows shown beside the main one (the demo's booth simulator); may be empty.
    std::function<void(QWidget* mainWindow)> besideMainWindow;
};

// Runs the office until its window closes; the process's exit code.
int RunGui(const GuiOptions& options, int argc, char** argv);

// True when a window can be shown: DISPLAY or WAYLAND_DISPLAY is set (`--gui` opens the windows
// on any Qt platform, the offscreen one included).
bool DisplayAvailable();

}  // namespace miradel::office
