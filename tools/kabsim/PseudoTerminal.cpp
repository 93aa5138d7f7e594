#include "PseudoTerminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace miradel::kabsim {

PseudoTerminal::~PseudoTerminal() {
    if (masterFd_ >= 0) {
        ::close(masterFd_);
    }
    if (slaveFd_ >= 0) {
        ::close(slaveFd_);
    }
}

bool PseudoTerminal::Create() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        error_ = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[128] = {};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name, sizeof name) != 0) {
        error_ = std::string("cannot set up the pseudo-terminal: ") + std::strerror(errno);
        ::close(master);
        return false;
    }
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) {
        error_ = std::string("cannot open ") + name + ": " + std::strerror(errno);
        ::close(master);
        return false;
    }
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    masterFd_ = master;
    slaveFd_ = slave;
    slavePath_ = name;
    return true;
}

std::unique_ptr<LinuxSerialPort> PseudoTerminal::TakeMasterPort() {
    if (masterFd_ < 0) {
        return nullptr;
    }
    return LinuxSerialPort::Adopt(std::exchange(masterFd_, -1),
                                  "pseudo-terminal master of " + slavePath_);
}

}  // namespace miradel::kabsim
