#pragma once
// How the booths meet the rest of the office: controller commands go to the exchange, prices
// come from the tariff engine, controller messages reach the booth at their panel position.
// All of it runs on the engine thread.

#include <array>
#include <memory>

#include "app/config/KabinCfg.h"
#include "booths/BoothServices.h"
#include "booths/Kabina.h"
#include "controller/BoothEventSink.h"
#include "controller/ControllerExchange.h"
#include "tariff/BoothStateSource.h"
#include "tariff/Trftor.h"

namespace miradel {

using BoothArray = std::array<std::unique_ptr<Kabina>, kBoothCount>;

class ExchangeLine final : public ControllerLine {
  public:
    explicit ExchangeLine(ControllerExchange& exchange) : exchange_(exchange) {}
    void Queue(std::initializer_list<uint8_t> data) override {
        exchange_.QueueFrame(std::span<const uint8_t>(data.begin(), data.size()));
    }

  private:
    ControllerExchange& exchange_;
};

class TrftorTariffs final : public TariffLookup {
  public:
    explicit TrftorTariffs(const TRFTOR& engine) : engine_(engine) {}
    std::optional<PrefixMatch> FindPrefix(std::string_view digits) override;
    int32_t TariffNow(std::string_view digits) override { return engine_.TariffNow(digits); }

  private:
    const TRFTOR& engine_;
};

// Delivers booth events to the booth of the panel; a missing booth ignores them.
class BoothRouter final : public BoothEventSink {
  public:
    explicit BoothRouter(BoothArray& booths) : booths_(booths) {}
    void RaiseBoothEvent(int panel, uint32_t event, int32_t argument) override;

  private:
    BoothArray& booths_;
};

class BoothStates final : public BoothStateSource {
  public:
    explicit BoothStates(const BoothArray& booths) : booths_(booths) {}
    int StateOf(int panel) const override;

  private:
    const BoothArray& booths_;
};

}  // namespace miradel
