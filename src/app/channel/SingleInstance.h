#pragma once
// One office program per working folder. The first start claims the folder by listening on an
// abstract Unix socket named after the folder's real path (nothing is written in the folder,
// and the name goes away with the process, even after a crash). A second start finds it taken,
// asks the first one to come to the front, and ends.
#include <filesystem>
#include <string>

namespace miradel {

class SingleInstance {
  public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum class Claim { kClaimed, kAlreadyRunning, kFailed };
    Claim ClaimFolder(const std::filesystem::path& folder);
    const std::string& Error() const { return error_; }

    // How many times a second start asked for the front since the last call (never waits).
    int RaiseRequests();

  private:
    int fd_ = -1;
    std::string error_;
};

// The socket name for a folder (for tests and messages).
std::string InstanceName(const std::filesystem::path& folder);

}  // namespace miradel
