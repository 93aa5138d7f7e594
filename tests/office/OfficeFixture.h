#pragma once
// An office in a temporary working folder, in virtual time: the booth controller simulator on
// an in-memory cable, prompts answered from a script, passwords typed from a list.
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "KabSim.h"
#include "app/Office.h"
#include "app/config/KabinCfg.h"
#include "common/Clock.h"
#include "common/OperatorPrompt.h"
#include "common/ProgramStatus.h"
#include "common/Scheduler.h"
#include "controller/MemoryLink.h"
#include "support/TempDir.h"

namespace miradel::testing {

// Writes the start-up files: tariffs, ticket.cfg, avans.cfg, printer.cfg and kassa.dat.
void WriteOfficeFiles(const std::filesystem::path& dir);
// Writes kabin.cfg from the records given per panel.
void WriteKabin(const std::filesystem::path& dir, const KabinData& data);

// The office's end of the cable, handed to the office as its own port.
class BorrowedPort final : public SerialPort {
  public:
    explicit BorrowedPort(SerialPort& port) : port_(port) {}
    bool Open(const SerialSettings& s) override { return port_.Open(s); }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    void SetRts(bool on) override { port_.SetRts(on); }
    void SetDtr(bool on) override { port_.SetDtr(on); }
    bool OutputEmpty() override { return port_.OutputEmpty(); }
    bool Write(std::span<const uint8_t> b) override { return port_.Write(b); }
    std::size_t Read(std::span<uint8_t> b) override { return port_.Read(b); }
    uint16_t TakeLineErrors() override { return port_.TakeLineErrors(); }
    void Purge() override { port_.Purge(); }
    std::string LastError() const override { return port_.LastError(); }

  private:
    SerialPort& port_;
};

class OfficeRig {
  public:
    OfficeRig();
    ~OfficeRig();

    std::optional<LoadError> Start();
    // Start, then ticks of the main timer until the first one has run.
    void StartAndRun();
    void Run(int64_t ms) { scheduler.RunFor(ms); }
    std::vector<std::vector<uint8_t>> LineCommands() const;
    std::string LogText() const;  // hdop.log

    TempDir dir;
    VirtualClock clock{{2009, 3, 5, 10, 0, 0}};
    VirtualScheduler scheduler{clock};
    ScriptedPrompt prompt{PromptAnswer::Ok};
    RecordingProgramStatus status;
    MemoryLink link{clock};
    kabsim::KabSim controller{link.DeviceEnd(), scheduler};
    std::deque<std::optional<std::string>> passwords{std::string("qzr40316258")};
    std::vector<std::string> notes;
    std::vector<LoginResult> attempts;
    std::vector<int> priorities;  // the levels asked for
    bool portMissing = false;
    AdvanceDialogLink* dialog = nullptr;  // the window's relay, when a test has one
    std::unique_ptr<Office> office;
};

}  // namespace miradel::testing
