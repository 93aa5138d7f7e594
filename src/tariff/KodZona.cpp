#include "tariff/KodZona.h"

#include <fmt/format.h>

#include "common/AtomicFile.h"
#include "tariff/TariffFiles.h"

namespace miradel {

KodZona::KodZona(const std::filesystem::path& folder) : Prefix(folder) {
    if (LoadFailure()) {
        return;
    }
    // Each file is read once, even an empty one, however many prefix entries share its N.
    std::array<bool, kZoneFiles> read{};
    const EntryList<Prefx>& prefixes = Prefixes();
    for (std::size_t i = 0; i < prefixes.Size(); ++i) {
        const int32_t n = prefixes[i].zoneFile;  // 0..99, checked when prefix.dat was read
        if (read[n]) {
            continue;
        }
        read[n] = true;
        const std::string name = CodeFileName(n);
        const auto bytes = ReadWholeFile(folder / name);
        if (!bytes) {
            Fail(MakeTariffError(
                kFailCodeFile,
                fmt::format("cannot open {} (zone-file number {} of {} line {})",
                            (folder / name).string(), n, kPrefixFileName, prefixes.LineOf(i))));
            return;
        }
        const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
        if (auto error = ReadCodeFile(name, text, n, codes_[n])) {
            Fail(std::move(*error));
            return;
        }
        for (const KZona* k = codes_[n].Head(); k != nullptr; k = k->next) {
            codeIndex_[n].Add(k->code);
        }
    }
}

const KZona* KodZona::FindCode(std::string_view digits) const {
    const Prefx* prefix = FindPrefix(digits);
    if (prefix == nullptr) {
        return nullptr;
    }
    const int32_t n = prefix->zoneFile;
    if (n < 0 || n >= kZoneFiles) {
        SetFailureCode(kFailZoneFileRange);
        return nullptr;
    }
    const int32_t position = codeIndex_[n].Find(DigitsAfterPrefix(*prefix, digits));
    return position == FirstMatchIndex::kNone ? nullptr : &codes_[n][position];
}

const EntryList<KZona>& KodZona::Codes(int32_t zoneFile) const {
    static const EntryList<KZona> kEmpty;
    return zoneFile >= 0 && zoneFile < kZoneFiles ? codes_[zoneFile] : kEmpty;
}

}  // namespace miradel
