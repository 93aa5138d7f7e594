#include "tariff/Prefix.h"

#include <algorithm>

#include "common/AtomicFile.h"
#include "tariff/TariffFiles.h"

namespace miradel {

int32_t ConsumedDigits(const Prefx& prefix) {
    const bool star = !prefix.text.empty() && prefix.text[0] == '*';
    return std::max(0, star ? prefix.textLength - 1 : prefix.textLength);
}

std::string_view DigitsAfterPrefix(const Prefx& prefix, std::string_view digits) {
    // A "*x" text consumes digits it never compared, so the number may be shorter than that.
    const auto consumed = static_cast<std::size_t>(ConsumedDigits(prefix));
    return digits.substr(std::min(consumed, digits.size()));
}

Prefix::Prefix(const std::filesystem::path& folder) : folder_(folder) {
    const std::filesystem::path path = folder / kPrefixFileName;
    const auto bytes = ReadWholeFile(path);
    if (!bytes) {
        Fail(MakeTariffError(kFailPrefixFile, "cannot open " + path.string()));
        return;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    if (auto error = ReadPrefixTable(text, entries_)) {
        Fail(std::move(*error));
        return;
    }
    for (const Prefx* p = entries_.Head(); p != nullptr; p = p->next) {
        index_.Add(p->text);
    }
}

void Prefix::Fail(TariffError error) {
    SetFailureCode(error.code);
    if (!loadFailure_) {
        loadFailure_ = std::move(error);
    }
}

const Prefx* Prefix::FindPrefix(std::string_view digits) const {
    const int32_t position = index_.Find(digits);
    return position == FirstMatchIndex::kNone ? nullptr : &entries_[position];
}

}  // namespace miradel
