#pragma once
// The office with its main window, on the real clock.
#include <string>

namespace miradel::office {

struct GuiOptions {
    std::string workdir;
    std::string device;  // the controller's port; empty: ports.cfg
};

// Runs the office until its window closes; the process's exit code.
int RunGui(const GuiOptions& options, int argc, char** argv);

// True when a window can be shown: DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM is set.
bool DisplayAvailable();

}  // namespace miradel::office
