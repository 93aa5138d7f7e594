#pragma once
// The booths as the holiday calendar sees them: only their display states.

namespace miradel {

class BoothStateSource {
  public:
    static constexpr int kBooths = 16;

    virtual ~BoothStateSource() = default;

    // Display state of the booth on panel 0..15 (0 disabled, 1 switched off, ...).
    virtual int StateOf(int panel) const = 0;
};

}  // namespace miradel
