#pragma once
// Creates the booth object for a kind code. Each kind registers its creator; a kind whose
// state machine is not in this build gets an inert booth that shows as switched off.

#include <array>
#include <functional>
#include <memory>

#include "booths/Kabina.h"

namespace miradel {

class BoothFactory {
  public:
    using Creator =
        std::function<std::unique_ptr<Kabina>(int panel, int16_t boothNumber, BoothEnvironment&)>;

    BoothFactory();  // every kind inert until registered

    void Register(BoothKind kind, Creator creator);

    // Kinds outside 0..6 give a disabled position (the base booth, no panel).
    std::unique_ptr<Kabina> Create(int kind, int panel, int16_t boothNumber,
                                   BoothEnvironment& env) const;

  private:
    std::array<Creator, 7> creators_;
};

// A booth of a known kind whose own state machine is not built in: it looks like a switched-
// off booth of its kind and ignores every event.
class KabinaInert final : public Kabina {
  public:
    KabinaInert(BoothKind kind, int panel, int16_t boothNumber, BoothEnvironment& env);

    int16_t HandleEvent(uint32_t event, int32_t argument) override;
    BoothSnapshot GetInfo() override;
    void AddAdvance(int32_t amount) override;
};

}  // namespace miradel
