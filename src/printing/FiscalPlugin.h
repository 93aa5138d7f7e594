#pragma once
// Loading a register driver plug-in (FiscalDriverAbi.h) and putting it behind the workers'
// driver interfaces. A library that is missing, does not load, lacks the entry or answers
// with an unusable table gives no driver and one line, in Russian, saying what was not found.

#include <filesystem>
#include <memory>
#include <string>

#include "printing/FiscalDrivers.h"

namespace miradel {

// What the driver is told about where it runs.
struct FiscalHostInfo {
    std::filesystem::path workDir;
    std::string options;
};

// A dlopen'ed library, closed when the last driver made from it goes.
class SharedLibrary {
  public:
    // Null with `error` filled when the library cannot be loaded.
    static std::shared_ptr<SharedLibrary> Open(const std::filesystem::path& path,
                                               std::string& error);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    void* Symbol(const char* name) const;
    const std::filesystem::path& path() const { return path_; }

  private:
    SharedLibrary(void* handle, std::filesystem::path path)
        : handle_(handle), path_(std::move(path)) {}

    void* handle_;
    std::filesystem::path path_;
};

struct M130PluginLoad {
    std::unique_ptr<M130Driver> driver;  // not yet open
    std::string error;                   // why there is no driver
};

struct M114PluginLoad {
    std::unique_ptr<M114Component> component;  // created, not yet open
    std::string error;
};

M130PluginLoad LoadM130Plugin(const std::filesystem::path& library, const FiscalHostInfo& host);
M114PluginLoad LoadM114Plugin(const std::filesystem::path& library, const FiscalHostInfo& host);

}  // namespace miradel
