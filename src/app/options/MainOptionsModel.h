#pragma once
// The rules of the main options window ("Главные опции"), without any toolkit: what each
// control shows when the window opens, the two check boxes that exclude each other, and what
// "Применить" makes of the controls. Escape closes the window without applying; the model
// holds nothing that needs undoing, so there is no call for it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/config/AppConfig.h"
#include "app/options/MainOptionsControls.h"

namespace miradel {

inline constexpr const char* kMainOptionsTitle = "Главные опции";

// What one control currently shows.
struct OptionState {
    std::string text;  // edits
    bool checked = false;
    int choice = -1;  // -1 when the stored value matches no choice (kept as it is on apply)
    bool enabled = true;
};

// What "Применить" produced, and what the rest of the office must do with it.
struct MainOptionsOutcome {
    AppConfigData config;               // the image with the window's fields applied
    bool refreshCaption = false;        // "Запись app.log" changed: the caption shows it
    std::string remoteStationAddress;   // the peer of the stream channel from now on
    bool fiscalProtocol = false;        // the fiscal register's protocol switch
    bool remoteAround = false;          // true: remote dial-around mode, false: local
    bool appLogSwitchedOn = false;      // off before, on now: append the date and time lines
    std::vector<std::string> rejected;  // captions whose text was no number; old value kept
};

class MainOptionsModel {
  public:
    MainOptionsModel();

    const std::vector<OptionControl>& Controls() const { return MainOptionsControls(); }
    // The control under this caption (and frame, for the two "Включить"-like boxes).
    std::optional<std::size_t> Find(std::string_view caption, std::string_view group = {}) const;

    // Fills every control from the image: the fax page price divided by 100, texts as stored.
    void Open(const AppConfigData& image);

    const OptionState& State(std::size_t control) const;

    // Input from the operator. A call that does not fit the control (wrong kind, a disabled
    // box, a choice out of range, an index past the table) is ignored.
    void SetText(std::size_t control, std::string text);
    void SetChecked(std::size_t control, bool checked);
    void SetChoice(std::size_t control, int index);

    // The window's fields written over `base`; every other byte of `base` is kept.
    MainOptionsOutcome Apply(const AppConfigData& base) const;

  private:
    void Exclude(std::size_t checkedBox, std::size_t otherBox);

    std::vector<OptionState> states_;
    std::size_t shortPolarity_ = 0;
    std::size_t clearByCalledParty_ = 0;
};

}  // namespace miradel
