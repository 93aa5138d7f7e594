#pragma once
// A pseudo-terminal pair for the simulator: the simulator talks on the master side, the
// office opens the slave device (/dev/pts/N) as its serial port.
//
// The slave is also held open here, raw, for as long as this object lives. Otherwise the
// master would see a hang-up whenever the office closes and reopens its port, and until then
// the slave's default echo would send the simulator's own bytes back to it.

#include <memory>
#include <string>

#include "controller/LinuxSerialPort.h"

namespace miradel::kabsim {

// For opening the master side: it refuses parity settings, and framing means nothing on a
// pseudo-terminal anyway.
inline constexpr SerialSettings kPtyMasterSettings{9600, 8, Parity::None, 1};

class PseudoTerminal {
  public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Creates the pair; false and Error() when the system has no pseudo-terminal to give.
    bool Create();
    const std::string& SlavePath() const { return slavePath_; }
    const std::string& Error() const { return error_; }

    // The master side as a port (not yet opened); only once.
    std::unique_ptr<LinuxSerialPort> TakeMasterPort();

  private:
    int masterFd_ = -1;
    int slaveFd_ = -1;
    std::string slavePath_;
    std::string error_;
};

}  // namespace miradel::kabsim
