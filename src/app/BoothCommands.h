#pragma once
// The two booth commands of the main window without their widgets: what a click on a panel
// does for each kind of booth, the booth found by its physical number ("Кабина"), and the
// booth settings window ("Кабина 1" … "Кабина 16") with the dial-around rule.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "booths/BoothSnapshot.h"
#include "common/OperatorPrompt.h"

namespace miradel {

enum class BoothClickAction {
    kNothing,        // a disabled position
    kAdvanceDialog,  // automatic, remote line, fax and universal booths
    kOrderEvent,     // an order booth: booth event 1
    kAroundInfo,     // the dial-around booth: its information window
};

BoothClickAction ClickActionFor(const BoothSnapshot& booth);

// The leading decimal number of a typed text ("12ab" → 12), 0 when it has none. Numbers
// beyond the booth number's range are cut to it rather than wrapped.
int16_t LeadingNumber(std::string_view text);

// "Кабина": the panel (0..15) whose booth has `number`; a dial-around booth is never chosen.
// -1 when no panel has it.
int PanelOfBoothNumber(std::span<const BoothSnapshot> booths, int number);

inline constexpr const char* kEnterNumberCaption = "Ввести номер";

// The kind list of the booth settings window; the position is the kind code.
const std::array<const char*, 7>& BoothKindNames();

struct BoothSettingsView {
    std::string caption;     // "Физический номер кабины - 4"
    std::string numberText;  // the physical number, selected for overtyping
    int kindIndex = 0;
};

struct BoothSettingsOutcome {
    int16_t kind = 0;
    int16_t boothNumber = 0;
    int32_t aroundPanel = -1;  // the new dial-around record (app.cfg), -1 none
    bool aroundChanged = false;
    std::optional<PromptRequest> message;  // "Кабина обзвона уже есть в конфигурации!"
};

class BoothSettingsModel {
  public:
    // `panel` 0..15; the booth's current kind and physical number.
    void Open(int panel, int16_t kind, int16_t boothNumber);
    const BoothSettingsView& View() const { return view_; }

    // "Применить" with the typed number and the chosen list position; `aroundPanel` is the
    // dial-around record now (app.cfg), -1 when there is none.
    BoothSettingsOutcome Apply(std::string_view numberText, int kindIndex,
                               int32_t aroundPanel) const;

  private:
    int panel_ = 0;
    int16_t kind_ = 0;
    BoothSettingsView view_;
};

}  // namespace miradel
