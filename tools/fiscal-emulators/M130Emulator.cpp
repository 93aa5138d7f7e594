// Меркурий 130Ф emulator: a driver plug-in that prints on a tape file and keeps the register's
// state in files of the working folder (m130f-emu.state, m130f-emu.tape, m130f-emu.ctl).
//
// A failed call drops the open check, as the register does, so the program re-sends the
// document from its first line. Text-only printouts have no end the register could see; a run
// of blank lines with three blanks or more (the tear-off feed) ends one on the tape.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "EmuSupport.h"
#include "printing/FiscalDriverAbi.h"

namespace miradel::emu {
namespace {

constexpr int32_t kTransferError = 1;  // "Ошибка передачи": no answer
constexpr int32_t kDataError = 2;      // "Ошибка данных ККМ": paper out by default
constexpr int32_t kEmptyCheck = 4;     // "Пустой чек"
constexpr int32_t kBadOperation = 5;   // "Недопустимая опер."

int64_t Hundredths(float units) {
    if (!std::isfinite(units) || std::fabs(units) > 1e12f) {
        return 0;
    }
    return std::llround(static_cast<double>(units) * 100.0);
}

std::string Number(float value) {
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", std::isfinite(value) ? value : 0.0f);
    return text;
}

std::string Padded(std::string left, const std::string& right, std::size_t width = 32) {
    const std::size_t used = Utf8Chars(left) + Utf8Chars(right);
    left.append(used < width ? width - used : 1, ' ');
    return left + right;
}

class Register {
  public:
    Register(const MiradelFiscalHost& host, int32_t port)
        : dir_(host.work_dir ? host.work_dir : "."),
          faults_(dir_ / "m130f-emu.ctl", "MIRADEL_M130F_EMU", host.options ? host.options : "",
                  {kTransferError, 0, kDataError, 0, kBadOperation}),
          state_(dir_ / "m130f-emu.state"),
          tape_(dir_ / "m130f-emu.tape"),
          port_(port) {
        state_.Load();
        if (state_.Get("serial").empty()) {
            state_.Set("serial", "00130001");
        }
        state_.SetInt("port", port_);
        Save();
    }

    bool OpenFails() { return faults_.OpenFails(); }

    int32_t SerialNumber(char* answer) {
        if (auto fault = faults_.Check("serial", false)) {
            return Failed(*fault);
        }
        if (faults_.SerialEmpty()) {
            return kTransferError;
        }
        Answer(answer, state_.Get("serial"));
        return 0;
    }

    int32_t PrintText(const char* text, char* answer) {
        if (auto fault = faults_.Check("text", true)) {
            return Failed(*fault);
        }
        const std::string line = DecodeCp866(text ? text : "");
        const std::string trimmed = Trim(line);
        if (trimmed.empty()) {
            blankRun_ += static_cast<int64_t>(std::max<std::size_t>(line.size(), 1));
        } else {
            if (blankRun_ >= 3 && content_ && !CheckOpen()) {
                tape_.Separator();
                content_ = false;
            }
            blankRun_ = 0;
        }
        Print(line);
        Answer(answer, "OK");
        Save();
        return 0;
    }

    int32_t SaleLine(const char* text, float price, float quantity, float amount, uint8_t section,
                     char* answer) {
        if (auto fault = faults_.Check("sale", true)) {
            return Failed(*fault);
        }
        if (!CheckOpen()) {
            OpenCheck();
        }
        Print(DecodeCp866(text ? text : ""));
        Print(Padded("  " + Number(quantity) + " x " + Number(price), "=" + Number(amount)));
        Print("  СЕКЦИЯ " + std::to_string(section));
        state_.SetInt("check_total", state_.GetInt("check_total", 0) + Hundredths(amount));
        Answer(answer, "OK");
        Save();
        return 0;
    }

    int32_t CloseCheck(float payment, char* answer) {
        if (auto fault = faults_.Check("close", true)) {
            return Failed(*fault);
        }
        if (!CheckOpen()) {
            return kEmptyCheck;
        }
        const int64_t total = state_.GetInt("check_total", 0);
        const int64_t paid = Hundredths(payment);
        if (paid < total) {
            return kBadOperation;
        }
        Print(Padded("ИТОГ", "=" + MoneyText(total)));
        Print(Padded("НАЛИЧНЫМИ", "=" + MoneyText(paid)));
        Print(Padded("СДАЧА", "=" + MoneyText(paid - total)));
        Print("ФП  ЗН " + state_.Get("serial"));
        state_.SetList("last_check", state_.GetList("check_line"));
        state_.SetInt("day_total", state_.GetInt("day_total", 0) + total);
        state_.SetInt("day_checks", state_.GetInt("day_checks", 0) + 1);
        EndCheck();
        Answer(answer, "OK");
        return 0;
    }

    int32_t CancelCheck(char* answer) {
        if (auto fault = faults_.Check("cancel", true)) {
            return Failed(*fault);
        }
        if (!CheckOpen()) {
            return kBadOperation;
        }
        Annul();
        Answer(answer, "OK");
        return 0;
    }

    void Close() {
        state_.SetInt("closed", state_.GetInt("closed", 0) + 1);
        Save();
    }

  private:
    bool CheckOpen() const { return state_.GetInt("check_open", 0) != 0; }

    void OpenCheck() {
        const int64_t number = state_.GetInt("check_number", 0) + 1;
        state_.SetInt("check_number", number);
        state_.SetInt("check_open", 1);
        state_.SetInt("check_total", 0);
        state_.SetList("check_line", {});
        Print("ККМ МЕРКУРИЙ-130Ф      ЗН " + state_.Get("serial"));
        char header[64];
        std::snprintf(header, sizeof header, "ЧЕК %04lld", static_cast<long long>(number));
        Print(Padded(header, ClockText(state_.GetInt("clock_offset", 0))));
    }

    void EndCheck() {
        state_.SetInt("check_open", 0);
        state_.SetInt("check_total", 0);
        state_.SetList("check_line", {});
        tape_.Separator();
        content_ = false;
        blankRun_ = 0;
        Save();
    }

    void Annul() {
        Print("ЧЕК АННУЛИРОВАН");
        state_.SetInt("day_cancelled", state_.GetInt("day_cancelled", 0) + 1);
        EndCheck();
    }

    // The register drops the open check when a call fails.
    int32_t Failed(const FaultHit& fault) {
        if (fault.hardware && CheckOpen()) {
            Annul();
        }
        return fault.code;
    }

    void Print(const std::string& line) {
        tape_.Line(line);
        content_ = true;
        if (CheckOpen()) {
            std::vector<std::string> lines = state_.GetList("check_line");
            lines.push_back(line);
            state_.SetList("check_line", lines);
        }
    }

    static void Answer(char* answer, const std::string& text) {
        if (answer) {
            std::snprintf(answer, MIRADEL_M130_ANSWER_SIZE, "%s", text.c_str());
        }
    }

    void Save() { state_.Save(); }

    std::filesystem::path dir_;
    FaultControl faults_;
    StateFile state_;
    Tape tape_;
    int32_t port_;
    bool content_ = false;  // something printed since the last separator
    int64_t blankRun_ = 0;
};

Register* Of(intptr_t handle) {
    return reinterpret_cast<Register*>(handle);
}

// Nothing may unwind into the program: every entry catches.
template <class Fn>
int32_t Guarded(intptr_t handle, Fn&& fn) {
    if (handle == 0) {
        return kTransferError;
    }
    try {
        return fn(*Of(handle));
    } catch (...) {
        return kTransferError;
    }
}

intptr_t Open(const MiradelFiscalHost* host, int32_t port) {
    if (host == nullptr || port < 1 || port > 8) {
        return 0;
    }
    try {
        auto reg = std::make_unique<Register>(*host, port);
        if (reg->OpenFails()) {
            return 0;
        }
        return reinterpret_cast<intptr_t>(reg.release());
    } catch (...) {
        return 0;
    }
}

int32_t SerialNumber(intptr_t h, char* answer) {
    return Guarded(h, [&](Register& r) { return r.SerialNumber(answer); });
}

int32_t PrintText(intptr_t h, const char* text, char* answer) {
    return Guarded(h, [&](Register& r) { return r.PrintText(text, answer); });
}

int32_t SaleLine(intptr_t h, const char* text, float price, float quantity, float amount,
                 uint8_t section, int32_t, int32_t, char* answer) {
    return Guarded(
        h, [&](Register& r) { return r.SaleLine(text, price, quantity, amount, section, answer); });
}

int32_t CloseCheck(intptr_t h, int32_t, int32_t, float payment, char* answer) {
    return Guarded(h, [&](Register& r) { return r.CloseCheck(payment, answer); });
}

int32_t CancelCheck(intptr_t h, char* answer) {
    return Guarded(h, [&](Register& r) { return r.CancelCheck(answer); });
}

int32_t CloseConnection(intptr_t h) {
    if (h == 0) {
        return kTransferError;
    }
    std::unique_ptr<Register> reg(Of(h));
    try {
        reg->Close();
    } catch (...) {
        return kTransferError;
    }
    return 0;
}

constexpr MiradelM130Driver kDriver = {
    MIRADEL_FISCAL_ABI_VERSION,
    sizeof(MiradelM130Driver),
    Open,
    SerialNumber,
    PrintText,
    SaleLine,
    CloseCheck,
    CancelCheck,
    CloseConnection,
};

}  // namespace
}  // namespace miradel::emu

extern "C" __attribute__((visibility("default"))) const MiradelM130Driver* miradel_m130_driver(
    uint32_t hostAbiVersion) {
    return hostAbiVersion == MIRADEL_FISCAL_ABI_VERSION ? &miradel::emu::kDriver : nullptr;
}
