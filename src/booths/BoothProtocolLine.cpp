#include "booths/BoothProtocolLine.h"

#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "common/DateText.h"

namespace miradel {

BoothProtocolLine::BoothProtocolLine(std::string_view kindName, int boothNumber)
    : start_(Utf8ToCp1251(kindName) + std::to_string(boothNumber) + " - "), line_(start_) {
    if (line_.size() > kMaxLength) {
        line_.resize(kMaxLength);
    }
}

void BoothProtocolLine::Append(std::string_view piece) {
    if (line_.size() + piece.size() <= kMaxLength) {
        line_.append(piece);
    }
}

bool BoothProtocolLine::Flush(const std::filesystem::path& appLog, const LocalDateTime& now) {
    const std::string out = line_ + " " + DateText(now) + " " + TimeText(now) + "\n";
    if (!AppendToFile(appLog, out)) {
        return false;
    }
    line_ = start_;
    if (line_.size() > kMaxLength) {
        line_.resize(kMaxLength);
    }
    return true;
}

bool AppendAppLogMarkers(const std::filesystem::path& appLog, const LocalDateTime& now) {
    return AppendToFile(appLog, DateText(now) + "\n" + TimeText(now) + "\n");
}

}  // namespace miradel
