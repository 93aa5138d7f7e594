#pragma once
// The demo office's booth simulator window without its widgets: the person at the desk plays
// the clients in the booths (lift the handset, dial, the called party answers, hang up, turn
// the inductor) on the simulated booth controller, and sees what the office did to the line.

#include <cstddef>
#include <string>
#include <string_view>

#include "KabSim.h"
#include "common/Scheduler.h"

namespace miradel::kabsim {

// What a client in a booth can do; lines are 0..15.
class SimulatedClients {
  public:
    virtual ~SimulatedClients() = default;
    virtual void Lift(int line) = 0;
    virtual void HangUp(int line) = 0;
    virtual void Dial(int line, int digit) = 0;  // 1..9, 10 for 0
    virtual void Answer(int line) = 0;
    virtual void Inductor(int line) = 0;
};

// The clients on a KabSim. Every call is posted to the simulator's scheduler, because the
// simulator may only be touched on that thread; so it returns at once on any thread. The
// simulator must outlive the tasks posted (stop the scheduler before destroying it).
class KabSimClients final : public SimulatedClients {
  public:
    KabSimClients(KabSim& simulator, Scheduler& scheduler)
        : simulator_(simulator), scheduler_(scheduler) {}

    void Lift(int line) override;
    void HangUp(int line) override;
    void Dial(int line, int digit) override;
    void Answer(int line) override;
    void Inductor(int line) override;

  private:
    KabSim& simulator_;
    Scheduler& scheduler_;
};

// One line's record as a status line: the handset, the office's last switching of the line
// and the digits the office dialled on it.
std::string LineStatusText(const LineRecord& record);

class BoothSimulatorModel {
  public:
    static constexpr int kBooths = 16;
    // A longer paste is cut here: no phone number is longer, and each digit is one message.
    static constexpr std::size_t kMaxDialDigits = 32;

    inline static const std::string kTitle{"Booth simulator (demo)"};
    inline static const std::string kBanner{
        "Simulator: these buttons play the clients in the booths on the simulated booth "
        "controller of the demo office."};

    explicit BoothSimulatorModel(SimulatedClients& clients) : clients_(clients) {}

    // The booth as numbered for the operator, 1..16; anything else is ignored (false).
    bool SelectBooth(int number);
    int Booth() const { return line_ + 1; }
    int Line() const { return line_; }

    // The "Dial" field's text as typed; only its digits are dialled.
    void SetDialText(std::string_view text) { dialText_ = text; }
    const std::string& DialText() const { return dialText_; }

    void Lift() { clients_.Lift(line_); }
    void HangUp() { clients_.HangUp(line_); }
    void Answer() { clients_.Answer(line_); }
    void Inductor() { clients_.Inductor(line_); }
    // Sends the field's digits one by one, in order; returns how many were sent.
    int Dial();

    // The chosen booth's record, read afresh by the window.
    void ShowLine(const LineRecord& record);
    const std::string& Status() const { return status_; }

  private:
    SimulatedClients& clients_;
    int line_ = 0;
    std::string dialText_;
    std::string status_;
};

}  // namespace miradel::kabsim
