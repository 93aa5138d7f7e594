#pragma once
// A fresh folder for one test, removed afterwards; stands in for an office's working folder.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace miradel::testing {

class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "miradel-test-XXXXXX").string();
        char* made = ::mkdtemp(pattern.data());
        path_ = made ? std::filesystem::path(made) : std::filesystem::temp_directory_path();
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

}  // namespace miradel::testing
