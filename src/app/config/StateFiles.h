#pragma once
// Loading and saving the three state files of the working folder: app.cfg, kabin.cfg and
// kassa.dat. The images in memory are the truth; the files mirror them.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/config/AppConfig.h"
#include "app/config/KabinCfg.h"
#include "app/config/KassaDat.h"
#include "app/config/LoadError.h"

namespace miradel {

inline constexpr const char* kAppCfgName = "app.cfg";
inline constexpr const char* kKabinCfgName = "kabin.cfg";
inline constexpr const char* kKassaDatName = "kassa.dat";

// kassa.dat must exist and hold its 32 bytes: counters of real money are never guessed.
std::optional<LoadError> LoadKassa(const std::filesystem::path& folder, KassaImage& kassa);

struct KabinLoad {
    bool opened = false;
    std::string warning;  // a short or oversized file, for the engineer
};

// Reads kabin.cfg into the image. A short file gives the records it holds; the records it
// lacks read as zero, that is disabled positions.
KabinLoad LoadKabin(const std::filesystem::path& folder, KabinImage& kabin);

struct AppConfigLoad {
    bool createdWithDefaults = false;  // the first tick warns the operator
    std::string warning;               // a short or oversized file, for the engineer
    std::string writeError;            // the default file could not be written
};

// Reads app.cfg into the image; when it is missing, fills the image with the defaults and
// writes a new file. A short file keeps the defaults for the bytes it lacks and is marked
// dirty so that the save timer writes it back whole.
AppConfigLoad LoadAppConfig(const std::filesystem::path& folder, AppConfig& config);

// A settings window saving its fields: when app.cfg cannot be opened the change is dropped
// and false returned (the window closes without a message). Otherwise the change is made to
// the image and the whole image written at once. The image, not the file, is the base, so a
// counter moved in the last half second is not lost to the file's older copy.
bool ApplySettings(const std::filesystem::path& folder, AppConfig& config,
                   const std::function<void(AppConfigData&)>& change);

// Writes the dirty images every 500 ms (the caller's timer calls Fire), and all of app.cfg
// and kassa.dat once more at exit. A file that cannot be written keeps its flag and is tried
// again on the next firing; nothing is shown to the operator.
class SaveTimer {
  public:
    SaveTimer(std::filesystem::path folder, AppConfig& config, KassaImage& kassa,
              KabinImage& kabin);

    void Fire();     // app.cfg, then kassa.dat, then kabin.cfg, each only when dirty
    bool SaveAll();  // app.cfg and kassa.dat unconditionally; true when both were written

    const std::string& LastError() const { return lastError_; }

  private:
    template <class Image>
    bool Save(Image& image, const char* name);

    std::filesystem::path folder_;
    AppConfig& config_;
    KassaImage& kassa_;
    KabinImage& kabin_;
    std::string lastError_;
};

}  // namespace miradel
