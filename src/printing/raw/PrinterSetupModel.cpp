#include "printing/raw/PrinterSetupModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "app/config/StateFiles.h"
#include "common/TextTrim.h"

namespace miradel {

namespace {

// A count of blanks or lines as the operator types it: a whole number, "+" allowed. A
// negative count is refused, it would mean nothing to the printer.
std::optional<int32_t> ParseCount(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

int32_t RoundedInt(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    constexpr double kLimit = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::lround(std::clamp(value, -kLimit, kLimit)));
}

}  // namespace

PrinterFont MakePrinterFont(const FontChoice& choice) {
    PrinterFont font;
    font.pixelsPerInch = choice.pixelsPerInch > 0 ? choice.pixelsPerInch : 96;
    const double ppi = font.pixelsPerInch;
    font.height = choice.pixels > 0 ? choice.pixels : RoundedInt(choice.points * ppi / 72.0);
    font.size =
        choice.points > 0 ? RoundedInt(choice.points) : RoundedInt(choice.pixels * 72.0 / ppi);
    font.height = std::max(font.height, 0);
    font.size = std::max(font.size, 0);
    font.style = static_cast<uint8_t>(
        (choice.bold ? kFontBold : 0) | (choice.italic ? kFontItalic : 0) |
        (choice.underline ? kFontUnderline : 0) | (choice.strikeOut ? kFontStrikeOut : 0));
    return font;
}

std::string PrinterSetupOk::Report() const {
    if (rejected.empty()) {
        return {};
    }
    std::string text = "Не число, оставлено прежнее значение:";
    for (const std::string& caption : rejected) {
        text += " \"" + caption + "\"";
    }
    return text;
}

PrinterSetupModel::PrinterSetupModel(AppConfig& config, std::filesystem::path folder)
    : config_(config), folder_(std::move(folder)) {
    ShowImage(config_.Copy());
    PrinterConfigLoad load = LoadPrinterConfig(folder_);
    printer_ = std::move(load.config);
    printerProblems_ = std::move(load.problems);
}

void PrinterSetupModel::ShowImage(const AppConfigData& image) {
    const int32_t columns = image.Get(appcfg::kReceiptColumns);
    columns_ = columns == 0 || columns == 1 ? columns : -1;
    distance_ = std::to_string(image.Get(appcfg::kColumnDistance));
    feed_ = std::to_string(image.Get(appcfg::kFeedLines));
}

void PrinterSetupModel::SetColumns(int choice) {
    if (choice >= 0 && choice < static_cast<int>(kColumnChoices.size())) {
        columns_ = choice;
    }
}

PrinterSetupOk PrinterSetupModel::Ok() {
    PrinterSetupOk outcome;
    const std::optional<int32_t> distance = ParseCount(distance_);
    const std::optional<int32_t> feed = ParseCount(feed_);
    if (!distance) {
        outcome.rejected.push_back(kDistanceCaption);
    }
    if (!feed) {
        outcome.rejected.push_back(kFeedCaption);
    }
    const int columns = columns_;
    outcome.written = ApplySettings(folder_, config_, [&](AppConfigData& image) {
        if (columns >= 0) {
            image.Set(appcfg::kReceiptColumns, columns);
        }
        if (distance) {
            image.Set(appcfg::kColumnDistance, *distance);
        }
        if (feed) {
            image.Set(appcfg::kFeedLines, *feed);
        }
    });
    if (!outcome.written) {
        outcome.rejected.clear();  // nothing was stored, so nothing was kept either
    }
    ShowImage(config_.Copy());
    return outcome;
}

PrinterFont PrinterSetupModel::Font() const {
    return config_.Read([](const AppConfigData& image) {
        PrinterFont font;
        font.colour = image.Get(appcfg::kFontColour);
        font.height = image.Get(appcfg::kFontHeight);
        font.pixelsPerInch = image.Get(appcfg::kFontPixelsPerInch);
        font.size = image.Get(appcfg::kFontSize);
        font.style = image.Get(appcfg::kFontStyle);
        return font;
    });
}

bool PrinterSetupModel::ApplyFont(const PrinterFont& font) {
    return ApplySettings(folder_, config_, [&](AppConfigData& image) {
        image.Set(appcfg::kFontColour, font.colour);
        image.Set(appcfg::kFontHeight, font.height);
        image.Set(appcfg::kFontPitch, kFixedPitch);
        image.Set(appcfg::kFontPixelsPerInch, font.pixelsPerInch);
        image.Set(appcfg::kFontSize, font.size);
        image.Set(appcfg::kFontStyle, font.style);
    });
}

std::string PrinterSetupModel::ApplyPrinter(const PrinterConfig& config) {
    std::string error = SavePrinterConfig(config, folder_);
    if (error.empty()) {
        printer_ = config;
        printerProblems_.clear();
    }
    return error;
}

}  // namespace miradel
