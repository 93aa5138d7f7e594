#pragma once
// The rules of the printer setup window ("Setup Printer"), without any toolkit: the receipt
// layout of app.cfg ("Колонки", "Дистанция", "Протяжка"), the font of the system printer and
// the raw printer the receipts go to (printer.cfg).
//
// Unlike the COM port window, this one saves at once: "OK" and the font choice each rewrite
// app.cfg from the image with their own fields changed. When app.cfg cannot be opened nothing
// is saved and the window closes without a word.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/config/AppConfig.h"
#include "printing/raw/PrinterConfig.h"

namespace miradel {

inline constexpr const char* kPrinterSetupTitle = "Setup Printer";
inline constexpr const char* kColumnsCaption = "Колонки";
inline constexpr const char* kDistanceCaption = "Дистанция - ";
inline constexpr const char* kFeedCaption = "Протяжка - ";
inline constexpr std::array<const char*, 2> kColumnChoices = {"1 колонка", "2 колонки"};
inline constexpr const char* kFontButtonText = "Font's";
inline constexpr const char* kPrinterButtonText = "Printer";
inline constexpr const char* kOkButtonText = "OK";
inline constexpr const char* kCancelButtonText = "Cancel";

// The style bits of the font in app.cfg.
inline constexpr uint8_t kFontBold = 1;
inline constexpr uint8_t kFontItalic = 2;
inline constexpr uint8_t kFontUnderline = 4;
inline constexpr uint8_t kFontStrikeOut = 8;
// The pitch marker stored with every chosen font: the receipt printer wants fixed pitch.
inline constexpr uint8_t kFixedPitch = 2;

// The font fields of app.cfg.
struct PrinterFont {
    int32_t colour = 0;
    int32_t height = 0;  // pixels
    int32_t pixelsPerInch = 0;
    int32_t size = 0;  // points
    uint8_t style = 0;

    bool operator==(const PrinterFont&) const = default;
};

// A font as a font dialog hands it over: its size in points or in pixels (<= 0 for the one it
// lacks) at the given resolution, and its style.
struct FontChoice {
    double points = 0;
    int pixels = 0;
    int pixelsPerInch = 96;  // <= 0 counts as 96
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// The app.cfg fields for the choice: each size taken from the other when missing, colour 0.
PrinterFont MakePrinterFont(const FontChoice& choice);

// What "OK" did.
struct PrinterSetupOk {
    bool written = false;  // false: app.cfg could not be opened, nothing was saved
    // Captions whose text was no number of blanks or lines; their old values were kept.
    std::vector<std::string> rejected;

    // The window stays open only to show a rejected value.
    bool CloseWindow() const { return !written || rejected.empty(); }
    // The operator's message for the rejected values; empty when there are none.
    std::string Report() const;
};

class PrinterSetupModel {
  public:
    // Fills the controls from the image and the printer choice from folder/printer.cfg.
    PrinterSetupModel(AppConfig& config, std::filesystem::path folder);

    // 0 "1 колонка", 1 "2 колонки"; -1 when app.cfg holds another number (kept on "OK").
    int Columns() const { return columns_; }
    const std::string& DistanceText() const { return distance_; }
    const std::string& FeedText() const { return feed_; }

    // Input from the operator; a choice out of range is ignored.
    void SetColumns(int choice);
    void SetDistanceText(std::string text) { distance_ = std::move(text); }
    void SetFeedText(std::string text) { feed_ = std::move(text); }

    // Stores the three fields through app.cfg. Afterwards the edits show what is stored, so
    // a rejected text is replaced by the value that was kept.
    PrinterSetupOk Ok();

    // The font as the image holds it, and the chosen one written at once (with fixed pitch);
    // false when app.cfg could not be opened.
    PrinterFont Font() const;
    bool ApplyFont(const PrinterFont& font);

    // printer.cfg as read when the window opened or last saved, with the lines it did not
    // understand, and saving a new choice; empty on success, otherwise what failed.
    const PrinterConfig& Printer() const { return printer_; }
    const std::vector<std::string>& PrinterProblems() const { return printerProblems_; }
    std::string ApplyPrinter(const PrinterConfig& config);

    const std::filesystem::path& Folder() const { return folder_; }

  private:
    void ShowImage(const AppConfigData& image);

    AppConfig& config_;
    std::filesystem::path folder_;
    int columns_ = 0;
    std::string distance_;
    std::string feed_;
    PrinterConfig printer_;
    std::vector<std::string> printerProblems_;
};

}  // namespace miradel
