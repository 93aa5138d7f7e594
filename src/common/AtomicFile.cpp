#include "common/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace miradel {

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

namespace {

std::string Errno(const char* what, const std::filesystem::path& path) {
    return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string WriteFileAtomically(const std::filesystem::path& path, const uint8_t* data,
                                std::size_t size) {
    std::filesystem::path temp = path;
    temp += ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return Errno("cannot create", temp);
    }
    if (!WriteAll(fd, data, size) || ::fsync(fd) != 0) {
        std::string error = Errno("cannot write", temp);
        ::close(fd);
        ::unlink(temp.c_str());
        return error;
    }
    if (::close(fd) != 0) {
        std::string error = Errno("cannot close", temp);
        ::unlink(temp.c_str());
        return error;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        std::string error = Errno("cannot replace", path);
        ::unlink(temp.c_str());
        return error;
    }
    // Make the rename itself durable.
    std::filesystem::path folder = path.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

bool AppendToFile(const std::filesystem::path& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool ok = WriteAll(fd, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return ::close(fd) == 0 && ok;
}

}  // namespace miradel
