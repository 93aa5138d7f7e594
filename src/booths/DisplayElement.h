#pragma once
// What a booth shows on its panel, as data: the Qt panel renders it, the core holds no widget.

#include <string>

namespace miradel {

enum class Colour { Default, Black, Green, Blue, Navy, Red, MenuBackground };
enum class Align { Centre, Left };

struct DisplayElement {
    std::string text;  // caption of the button, text of a label
    int picture = -1;  // picture number of the button, -1 for none
    Colour textColour = Colour::Default;
    Colour background = Colour::Default;
    std::string hint;
    bool visible = false;
    Align align = Align::Centre;

    friend bool operator==(const DisplayElement&, const DisplayElement&) = default;
};

// The three elements of one booth panel.
struct BoothView {
    DisplayElement button;
    DisplayElement nameLabel;
    DisplayElement moneyLabel;

    friend bool operator==(const BoothView&, const BoothView&) = default;
};

}  // namespace miradel
