#pragma once
// Where the engines report the program state shown in the main window's status line, and the
// errors raised in the timer context. The main window implements it; tests record it.

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace miradel {

enum class StateColour { Black, Red };

class ProgramStatusSink {
  public:
    virtual ~ProgramStatusSink() = default;
    // "Состояние программы - Норма" in black (normal), "... - СТОП!!!" in red (abnormal) ...
    virtual void ShowProgramState(std::string_view text, StateColour colour, bool abnormal) = 0;
    // An error raised in the timer context ("Ошибка 1 миллисек. таймера передатчика" ...).
    virtual void RaiseError(std::string_view text) = 0;
    // Autonomous mode stops the main window's start-up and order timer.
    virtual void DisableWindowTimer() = 0;
};

class RecordingProgramStatus final : public ProgramStatusSink {
  public:
    struct State {
        std::string text;
        StateColour colour;
        bool abnormal;
    };

    void ShowProgramState(std::string_view text, StateColour colour, bool abnormal) override {
        std::lock_guard lock(mutex_);
        states_.push_back({std::string(text), colour, abnormal});
    }
    void RaiseError(std::string_view text) override {
        std::lock_guard lock(mutex_);
        errors_.emplace_back(text);
    }
    void DisableWindowTimer() override {
        std::lock_guard lock(mutex_);
        windowTimerDisabled_ = true;
    }

    std::vector<State> States() const {
        std::lock_guard lock(mutex_);
        return states_;
    }
    std::string LastText() const {
        std::lock_guard lock(mutex_);
        return states_.empty() ? std::string() : states_.back().text;
    }
    std::vector<std::string> Errors() const {
        std::lock_guard lock(mutex_);
        return errors_;
    }
    bool WindowTimerDisabled() const {
        std::lock_guard lock(mutex_);
        return windowTimerDisabled_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<State> states_;
    std::vector<std::string> errors_;
    bool windowTimerDisabled_ = false;
};

}  // namespace miradel
