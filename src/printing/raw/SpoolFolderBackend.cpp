#include "printing/raw/SpoolFolderBackend.h"

#include <fcntl.h>
#include <unistd.h>

#include <fmt/format.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "common/Cp1251.h"

namespace miradel {

namespace {

constexpr std::string_view kPrefix = "job-";
constexpr std::size_t kDigits = 8;

// The number of a spool file name "job-NNNNNNNN.prn" or ".part"; 0 for any other name.
unsigned NumberOf(const std::string& name) {
    if (name.size() < kPrefix.size() + kDigits || name.compare(0, kPrefix.size(), kPrefix) != 0) {
        return 0;
    }
    const std::string rest = name.substr(kPrefix.size() + kDigits);
    if (rest != ".prn" && rest != ".part") {
        return 0;
    }
    unsigned number = 0;
    for (std::size_t i = kPrefix.size(); i < kPrefix.size() + kDigits; ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return 0;
        }
        number = number * 10 + static_cast<unsigned>(name[i] - '0');
    }
    return number;
}

std::string JobName(unsigned number, std::string_view extension) {
    return fmt::format("{}{:0{}}{}", kPrefix, number, kDigits, extension);
}

}  // namespace

SpoolFolderBackend::SpoolFolderBackend(std::filesystem::path folder) : folder_(std::move(folder)) {}

SpoolFolderBackend::~SpoolFolderBackend() {
    CloseQuietly();
}

std::filesystem::path SpoolFolderBackend::JobFile(unsigned number) const {
    return folder_ / JobName(number, ".prn");
}

PrinterLookup SpoolFolderBackend::CurrentPrinter() {
    if (folder_.empty()) {
        return {"", "No spool folder is set in printer.cfg"};
    }
    std::string name = folder_.filename().string();
    if (name.empty() || name == "." || name == "..") {
        name = "spool";
    }
    return {std::string(Utf8Prefix(name, 32)), ""};
}

unsigned SpoolFolderBackend::NextNumber() const {
    unsigned highest = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end;
         it.increment(ec)) {
        highest = std::max(highest, NumberOf(it->path().filename().string()));
    }
    return highest + 1;
}

BackendStatus SpoolFolderBackend::StartJob(const std::string&, const std::string&) {
    CloseQuietly();
    std::error_code ec;
    std::filesystem::create_directories(folder_, ec);
    if (!std::filesystem::is_directory(folder_, ec)) {
        return {fmt::format("Spool folder {} cannot be created", folder_.string())};
    }
    unsigned number = NextNumber();
    // Another process spooling into the same folder may take a number first: try the next.
    for (int attempt = 0; attempt < 100; ++attempt, ++number) {
        const std::filesystem::path part = folder_ / JobName(number, ".part");
        const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            fd_ = fd;
            number_ = number;
            partPath_ = part;
            return {};
        }
        if (errno != EEXIST) {
            return {fmt::format("Spool folder {} is not writable: {}", folder_.string(),
                                std::strerror(errno))};
        }
    }
    return {fmt::format("Spool folder {}: no free job file name", folder_.string())};
}

WriteOutcome SpoolFolderBackend::WriteBytes(std::string_view bytes) {
    WriteOutcome outcome;
    if (fd_ < 0) {
        outcome.error = "No spool job is open";
        return outcome;
    }
    while (outcome.written < bytes.size()) {
        const ssize_t n =
            ::write(fd_, bytes.data() + outcome.written, bytes.size() - outcome.written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            outcome.error = fmt::format("Spool file {} cannot be written: {}", partPath_.string(),
                                        std::strerror(errno));
            return outcome;
        }
        outcome.written += static_cast<std::size_t>(n);
    }
    return outcome;
}

BackendStatus SpoolFolderBackend::EndJob() {
    if (fd_ < 0) {
        return {};
    }
    std::string error;
    if (::fsync(fd_) != 0) {
        error = fmt::format("Spool file {} cannot be flushed: {}", partPath_.string(),
                            std::strerror(errno));
    }
    if (::close(fd_) != 0 && error.empty()) {
        error = fmt::format("Spool file {} cannot be closed: {}", partPath_.string(),
                            std::strerror(errno));
    }
    fd_ = -1;
    // What was written is kept even after a failed line, as a spooler prints what it got.
    std::error_code ec;
    std::filesystem::rename(partPath_, JobFile(number_), ec);
    if (ec && error.empty()) {
        error =
            fmt::format("Spool file {} cannot be renamed: {}", partPath_.string(), ec.message());
    }
    return {error};
}

void SpoolFolderBackend::CloseQuietly() {
    if (fd_ >= 0) {
        EndJob();
    }
}

}  // namespace miradel
