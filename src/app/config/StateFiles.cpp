#include "app/config/StateFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include <fmt/format.h>

#include "common/AtomicFile.h"

namespace miradel {

namespace {

template <std::size_t N>
std::array<uint8_t, N> Prefix(const std::vector<uint8_t>& bytes, std::array<uint8_t, N> base) {
    std::copy_n(bytes.begin(), std::min(bytes.size(), N), base.begin());
    return base;
}

std::string SizeWarning(const char* name, std::size_t have, std::size_t want) {
    if (have == want) {
        return {};
    }
    return fmt::format("{} holds {} bytes, {} expected", name, have, want);
}

template <class Data>
std::vector<uint8_t> BytesOf(const Data& data) {
    if constexpr (requires { data.ToBytes(); }) {
        const auto bytes = data.ToBytes();
        return {bytes.begin(), bytes.end()};
    } else {
        return {data.bytes().begin(), data.bytes().end()};
    }
}

}  // namespace

std::optional<LoadError> LoadKassa(const std::filesystem::path& folder, KassaImage& kassa) {
    const auto bytes = ReadWholeFile(folder / kKassaDatName);
    if (!bytes) {
        return LoadError{"Error open kassa.dat", "kassa.dat cannot be opened"};
    }
    if (bytes->size() < KassaData::kSize) {
        return LoadError{"Error open kassa.dat",
                         SizeWarning(kKassaDatName, bytes->size(), KassaData::kSize)};
    }
    kassa.Load(KassaData::FromBytes(Prefix(*bytes, KassaData::Bytes{})));
    return std::nullopt;
}

KabinLoad LoadKabin(const std::filesystem::path& folder, KabinImage& kabin) {
    KabinLoad result;
    const auto bytes = ReadWholeFile(folder / kKabinCfgName);
    if (!bytes) {
        return result;
    }
    result.opened = true;
    result.warning = SizeWarning(kKabinCfgName, bytes->size(), KabinData::kSize);
    kabin.Load(KabinData::FromBytes(Prefix(*bytes, KabinData::Bytes{})));
    return result;
}

AppConfigLoad LoadAppConfig(const std::filesystem::path& folder, AppConfig& config) {
    AppConfigLoad result;
    const auto path = folder / kAppCfgName;
    const auto bytes = ReadWholeFile(path);
    if (!bytes) {
        const AppConfigData defaults = AppConfigData::Defaults();
        config.Load(defaults);
        result.createdWithDefaults = true;
        result.writeError = WriteFileAtomically(
            path, std::vector<uint8_t>(defaults.bytes().begin(), defaults.bytes().end()));
        if (!result.writeError.empty()) {
            config.MarkDirty();  // the save timer keeps trying
        }
        return result;
    }
    config.Load(AppConfigData::FromBytes(Prefix(*bytes, AppConfigData::Defaults().bytes())));
    result.warning = SizeWarning(kAppCfgName, bytes->size(), AppConfigData::kSize);
    if (bytes->size() < AppConfigData::kSize) {
        config.MarkDirty();
    }
    return result;
}

bool ApplySettings(const std::filesystem::path& folder, AppConfig& config,
                   const std::function<void(AppConfigData&)>& change) {
    const auto path = folder / kAppCfgName;
    // The settings are saved only where app.cfg can be opened for reading and writing.
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    config.Modify(change);
    const auto copy = config.CopyForSave();
    const auto& bytes = copy.data.bytes();
    if (WriteFileAtomically(path, bytes.data(), bytes.size()).empty()) {
        config.MarkSaved(copy.version);
    }
    // A failed write leaves the flag raised: the save timer writes the image later.
    return true;
}

SaveTimer::SaveTimer(std::filesystem::path folder, AppConfig& config, KassaImage& kassa,
                     KabinImage& kabin)
    : folder_(std::move(folder)), config_(config), kassa_(kassa), kabin_(kabin) {}

template <class Image>
bool SaveTimer::Save(Image& image, const char* name) {
    const auto copy = image.CopyForSave();
    const std::string error = WriteFileAtomically(folder_ / name, BytesOf(copy.data));
    if (!error.empty()) {
        lastError_ = error;
        return false;
    }
    image.MarkSaved(copy.version);
    return true;
}

void SaveTimer::Fire() {
    if (config_.Dirty()) {
        Save(config_, kAppCfgName);
    }
    if (kassa_.Dirty()) {
        Save(kassa_, kKassaDatName);
    }
    if (kabin_.Dirty()) {
        Save(kabin_, kKabinCfgName);
    }
}

bool SaveTimer::SaveAll() {
    const bool app = Save(config_, kAppCfgName);
    const bool kassa = Save(kassa_, kKassaDatName);
    return app && kassa;
}

}  // namespace miradel
