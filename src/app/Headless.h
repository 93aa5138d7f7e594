#pragma once
// The office's command channel without windows: one command a line, one result line each
// ("ok ..." or "error <text>"). The commands stand for what the operator does in the main
// window: log in, switch a booth on with an advance, settle it, top it up, look at the booths
// and the till, wait, quit.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Office.h"

namespace miradel {

class HeadlessCommands {
  public:
    // `wait` lets time pass for the given milliseconds (real sleep, or virtual time in tests).
    HeadlessCommands(Office& office, std::function<void(int64_t ms)> wait);

    // Runs one command line. Lines of more than one result ("show booths") come as several
    // lines; the last one is always the "ok"/"error" line.
    std::vector<std::string> Execute(std::string_view line);

    // "quit" was accepted: the office has saved and may close.
    bool Quit() const { return quit_; }

  private:
    std::vector<std::string> Login(const std::vector<std::string>& args);
    std::vector<std::string> Privileges(const std::vector<std::string>& args);
    std::vector<std::string> Advance(const std::vector<std::string>& args);
    std::vector<std::string> Settle(const std::vector<std::string>& args);
    std::vector<std::string> TopUp(const std::vector<std::string>& args);
    std::vector<std::string> ShowBooths();
    std::vector<std::string> ShowKassa();
    std::vector<std::string> ShowState();
    std::vector<std::string> Wait(const std::vector<std::string>& args);
    std::vector<std::string> QuitCommand();
    // The desk's commands (HeadlessDesk.cpp).
    std::vector<std::string> Booth(const std::vector<std::string>& args);
    std::vector<std::string> Collect(const std::vector<std::string>& args);
    std::vector<std::string> Shift();
    std::vector<std::string> FiscalCommand(const std::string& cmd);
    std::vector<std::string> SetBooth(const std::vector<std::string>& args);
    std::vector<std::string> ShowConfig(const std::vector<std::string>& args);
    std::vector<std::string> RunPanelCommand(const std::string& cmd,
                                             const std::vector<std::string>& args);
    // The guards of a menu command; the refusal's text as an error line.
    std::optional<std::string> Refused(MenuCommand command, int panel = 0);

    Office& office_;
    std::function<void(int64_t)> wait_;
    bool quit_ = false;
};

// "1".."16" as a panel index 0..15; -1 otherwise.
int ParsePanel(std::string_view text);

}  // namespace miradel
