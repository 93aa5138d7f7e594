#pragma once
// What the main window's menu items and buttons do in the office: each command passes its
// guards (the table of MainMenu) and then opens its window or acts on the office. Windows of
// parts still to come open a short note instead.
#include <QObject>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "app/MainMenu.h"
#include "app/Office.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PanelFeed.h"
#include "cashdesk/KassaWindowModel.h"

namespace miradel {

struct WindowFactories {
    // The cash window in a mode; returns its result (KassaResult).
    std::function<int(KassaMode mode)> kassa;
    // The top-up dialog of a panel; the accepted amount, or nothing.
    std::function<std::optional<int32_t>(int panel, int boothNumber)> topUp;
    // The password of "Временные привилегии"; nothing for "Отмена".
    std::function<std::optional<std::string>()> privilegesPassword;
    // The "Ввести номер" window; nothing for Escape.
    std::function<std::optional<std::string>()> boothNumber;
    // Windows of other parts by command (main options, debug window ...); a command without
    // one opens the "not yet available" note.
    std::map<MenuCommand, std::function<void()>> windows;
    // Opens a file with the desktop's application for it (help pages, hdop.log).
    std::function<bool(const std::filesystem::path&)> openFile;
};

inline constexpr const char* kCannotOpenFile = "Невозможно открыть файл!";
inline constexpr const char* kCannotOpenFileCaption = " Внимание! ";
inline constexpr const char* kNotYetAvailable = "Это окно пока недоступно (not yet available).";

class WindowCommands {
  public:
    WindowCommands(Office& office, OperatorPrompt& prompt, PanelPublisher& publisher,
                   std::filesystem::path helpFolder, WindowFactories factories);

    // The window the commands act on; set once it exists.
    void SetWindow(MainWindow* window) { window_ = window; }

    void Run(MenuCommand command, int panel);
    void TopUp(int panel);
    void Help(int topic);  // -1: the main window's topic
    void AroundInfo(int panel);

    // Fills the hooks the main window calls with these commands.
    void Connect(MainWindowHooks& hooks);
    // The exit was accepted (or the office asked to close): the window may go.
    bool Closing() const { return closing_; }
    void SetClosing() { closing_ = true; }

  private:
    void BoothSettings(int panel);
    void BoothByNumber();
    void Kassa(MenuCommand command);
    void Privileges();
    void ReadOperatorLog();
    void NotYet(const MenuEntry& entry);
    bool OpenWindow(MenuCommand command);

    Office& office_;
    OperatorPrompt& prompt_;
    PanelPublisher& publisher_;
    std::filesystem::path helpFolder_;
    WindowFactories factories_;
    MainWindow* window_ = nullptr;
    bool closing_ = false;
    bool exiting_ = false;  // the exit's questions are on screen
};

}  // namespace miradel
