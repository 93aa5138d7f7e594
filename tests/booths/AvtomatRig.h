#pragma once
// An automatic booth with every service it uses recorded, on a virtual clock.

#include <optional>
#include <string>
#include <vector>

#include "booths/BoothEvents.h"
#include "booths/KabinaAvtomat.h"
#include "support/BoothTestEnv.h"

namespace miradel::testing {

class RecordingLine final : public ControllerLine {
  public:
    void Queue(std::initializer_list<uint8_t> data) override { frames.emplace_back(data); }
    std::vector<std::vector<uint8_t>> frames;
};

// Numbers by prefix, first match in table order; a price per zone.
class TableTariffs final : public TariffLookup {
  public:
    struct Entry {
        std::string prefix;
        PrefixMatch match;
        int32_t price;
    };
    std::optional<PrefixMatch> FindPrefix(std::string_view digits) override {
        const Entry* e = Find(digits);
        return e ? std::optional<PrefixMatch>(e->match) : std::nullopt;
    }
    int32_t TariffNow(std::string_view digits) override {
        const Entry* e = Find(digits);
        return e ? e->price : -1;
    }
    std::vector<Entry> entries;

  private:
    const Entry* Find(std::string_view digits) const {
        for (const Entry& e : entries) {
            if (digits.substr(0, e.prefix.size()) == e.prefix)
                return &e;
        }
        return nullptr;
    }
};

class RecordingCallStore final : public CallRecordStore {
  public:
    bool WriteCallRecord(const BilledCall& call) override {
        ++attempts;
        if (refuse) {
            return false;
        }
        rows.push_back(call);
        return true;
    }
    std::vector<BilledCall> rows;
    bool refuse = false;
    int attempts = 0;
};

class RecordingReceipts final : public BoothReceipts {
  public:
    void PrintAdvanceReceipt(const BoothSnapshot& b) override { advance.push_back(b); }
    void PrintSettlementReceipt(const BoothSnapshot& b) override { settlement.push_back(b); }
    std::vector<BoothSnapshot> advance;
    std::vector<BoothSnapshot> settlement;
};

class RecordingTerminal final : public BoothTerminal {
  public:
    bool LcdActive() override { return true; }
    void PostLcd(int type, int address, int32_t value) override {
        lcd.push_back({type, address, value});
    }
    void PostLamp(int type, int cell) override { lamps.push_back({type, cell}); }
    std::vector<std::tuple<int, int, int32_t>> lcd;
    std::vector<std::pair<int, int>> lamps;
};

class RecordingDialog final : public AdvanceDialogLink {
  public:
    void AppendDigit(char d) override { digits.push_back(d); }
    void Refresh(const BoothSnapshot&) override { ++refreshes; }
    void Close() override { ++closes; }
    std::string digits;
    int refreshes = 0;
    int closes = 0;
};

struct AvtomatRig {
    static constexpr int kPanel = 4;

    BoothTestEnv t;
    RecordingLine line;
    TableTariffs tariffs;
    RecordingCallStore calls;
    RecordingReceipts receipts;
    RecordingTerminal terminal;
    RecordingDialog dialog;
    BoothServices services{line, tariffs, calls, receipts, terminal, dialog};
    KabinaAvtomat booth{kPanel, 12, t.env, services};

    AvtomatRig() {
        // A long-distance prefix, a local one, a free and a flat service.
        tariffs.entries = {
            {"8", {1, 11, 4}, 150},
            {"2", {2, 7, 3}, 40},
            {"09", {92, 5, 3}, 0},
            {"07", {97, 5, 3}, 500},
        };
    }

    void Event(uint32_t event, int32_t argument = 0) { booth.HandleEvent(event, argument); }
    void Dial(std::string_view number) {
        for (char c : number)
            Event(kEventDigit, c == '0' ? 10 : c - '0');
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            t.clock.AdvanceMs(1000);
            Event(kEventSecondTick);
        }
    }
    void Option(appcfg::Flag f, bool v) { t.config.Set(f, v); }
    void Option(appcfg::I32 f, int32_t v) { t.config.Set(f, v); }
    void Option(appcfg::I16 f, int16_t v) { t.config.Set(f, v); }
    bool Sent(std::vector<uint8_t> frame) const {
        for (const auto& f : line.frames)
            if (f == frame)
                return true;
        return false;
    }
    int Count(std::vector<uint8_t> frame) const {
        int n = 0;
        for (const auto& f : line.frames)
            n += f == frame;
        return n;
    }
    int32_t Kassa(int counter) const { return t.kassa.Copy().Get(counter); }
};

}  // namespace miradel::testing
