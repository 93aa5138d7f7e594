#pragma once
// The controls of the main options window ("Главные опции"): one per app.cfg setting the
// operator may change there, with the caption it is shown under, its page, its kind and the
// app.cfg field behind it. Settings owned by other windows (COM ports, printer layout, lamps,
// the dial-around parameters and counters) are not among them.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/config/AppConfigFields.h"

namespace miradel {

enum class OptionsPage { kGeneral, kTariffs, kPrinting, kDevices };
inline constexpr int kOptionsPageCount = 4;

std::string_view OptionsPageName(OptionsPage page);  // "Общие", "Тарифы", "Печать", "Устройства"

enum class OptionKind {
    kInteger,    // whole number; `digits` > 0 fixes the edit's width
    kText,       // text field of app.cfg, holds width - 1 characters
    kCheck,      // check box over a flag
    kChoice,     // list of choices over an index
    kReal,       // float32 number
    kPagePrice,  // hundredths in the file, shown and typed in whole units ("1.5")
};

using OptionField = std::variant<appcfg::I32, appcfg::I16, appcfg::Flag, appcfg::F32, appcfg::Text>;

struct OptionControl {
    std::string caption;
    std::string group;  // the frame the control sits in, empty for most
    OptionsPage page = OptionsPage::kGeneral;
    OptionKind kind = OptionKind::kInteger;
    OptionField field;
    int digits = 0;                    // kInteger: fixed width in digits, 0 for a free edit
    bool absolute = false;             // kInteger: the sign the operator typed is dropped
    std::vector<std::string> choices;  // kChoice: the texts for index 0, 1, ...

    // The characters the field holds (kText), 0 for other kinds.
    int TextCapacity() const;
};

// The window's controls, in the order the pages show them.
const std::vector<OptionControl>& MainOptionsControls();

}  // namespace miradel
