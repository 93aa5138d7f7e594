#pragma once
// Stand-ins for booth services an office may run without: no LCD terminals or lamps on the
// line, and an advance dialog that is answered at once, so it never stays open while a booth
// moves on.

#include "booths/BoothServices.h"

namespace miradel {

class NoTerminal final : public BoothTerminal {
  public:
    bool LcdActive() override { return false; }
    void PostLcd(int, int, int32_t) override {}
    void PostLamp(int, int) override {}
};

class NoDialog final : public AdvanceDialogLink {
  public:
    void AppendDigit(char) override {}
    void Refresh(const BoothSnapshot&) override {}
    void Close() override {}
};

}  // namespace miradel
