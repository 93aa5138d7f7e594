// Меркурий 114.1Ф emulator: a component plug-in that prints on a tape file and keeps the
// register's state in files of the working folder (m114f-emu.state, m114f-emu.tape,
// m114f-emu.ctl).
//
// A fiscal document is laid out by the line and column of each part and printed when it is
// closed; non-fiscal lines and reports print at once. Register faults (offline, paper, the
// "fail" rules) raise OnPrinterError first, so the operator may have them retried; refused
// operations (no open document, not supported) fail at once.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "EmuSupport.h"
#include "printing/FiscalDriverAbi.h"

namespace miradel::emu {
namespace {

// Component error codes.
constexpr int32_t kNotOpen = 2;            // "Соединение не открыто"
constexpr int32_t kNoAnswer = 3;           // "ККМ не отвечает"
constexpr int32_t kNotSupportedByEcr = 6;  // "Опер. не поддер. ККМ"
constexpr int32_t kTooManyItems = 7;       // "Слишком много позиций"
constexpr int32_t kNoFiscalDoc = 8;        // "Нет откр. фиск. док."
constexpr int32_t kFiscalDocOpen = 9;      // "Фиск. док. уже откр."
constexpr int32_t kNotAllowed = 10;        // "Операция не допустима"
constexpr int32_t kNotSupported = 11;      // "Операция не поддер."
constexpr int32_t kBadArgument = 14;       // "Неверный аргумент"
constexpr int32_t kEcrError = 18;          // "Ошибка ККМ"
constexpr int32_t kPaperOutExtended = 3;

constexpr int kDocNone = 0;
constexpr int kDocFiscal = 1;
constexpr int kDocNonFiscal = 2;
constexpr int32_t kMaxLine = 200;

std::string Padded(std::string left, const std::string& right, std::size_t width = 32) {
    const std::size_t used = Utf8Chars(left) + Utf8Chars(right);
    left.append(used < width ? width - used : 1, ' ');
    return left + right;
}

int64_t CurrencyToHundredths(int64_t parts) {
    const int64_t scale = MIRADEL_M114_CURRENCY_SCALE / 100;
    return parts >= 0 ? (parts + scale / 2) / scale : -((-parts + scale / 2) / scale);
}

std::string Numbered(const char* format, int64_t value) {
    char text[64];
    std::snprintf(text, sizeof text, format, static_cast<long long>(value));
    return text;
}

class Component {
  public:
    explicit Component(const MiradelFiscalHost& host)
        : dir_(host.work_dir ? host.work_dir : "."),
          faults_(dir_ / "m114f-emu.ctl", "MIRADEL_M114F_EMU", host.options ? host.options : "",
                  {kNoAnswer, 0, kEcrError, kPaperOutExtended, kNotSupported}),
          state_(dir_ / "m114f-emu.state"),
          tape_(dir_ / "m114f-emu.tape") {
        state_.Load();
        Default("serial", "00114001");
        Default("reg_number", "0000114001");
        Default("taxpayer", "7700000000");
        Default("header1", "ПЕРЕГОВОРНЫЙ ПУНКТ");
        Default("header2", "МИРАДЕЛЬ");
        Default("header3", "");
        Default("header4", "ДОБРО ПОЖАЛОВАТЬ");
        Save();
    }

    MiradelM114* Self() { return reinterpret_cast<MiradelM114*>(this); }

    void SetEvents(const MiradelM114Events* events) {
        events_ = events ? *events : MiradelM114Events{};
    }
    int32_t SetPort(int32_t port) {
        port_ = port;
        return 0;
    }
    int32_t SetBaud(int32_t baud) {
        baud_ = baud;
        return 0;
    }
    int32_t SetPassword(const char* password) {
        password_ = password ? password : "";  // kept in memory only, like the register's
        return 0;
    }
    int32_t Model() { return static_cast<int32_t>(Setting("model", MIRADEL_M114_MODEL_114_1FMD)); }
    int32_t Cutter() { return static_cast<int32_t>(Setting("cutter", 2)); }
    void SetRetry(int32_t retry) { retry_ = retry != 0; }

    int32_t Open(int32_t* ext) {
        if (faults_.OpenFails() || port_ < 1 || port_ > 8) {
            return kNoAnswer;
        }
        if (int32_t code = Guard("open", false, ext)) {
            return code;
        }
        opened_ = true;
        return 0;
    }

    int32_t OpenFiscalDoc(int32_t type, int32_t* ext) {
        if (int32_t code = Guard("open_fiscal_doc", false, ext)) {
            return code;
        }
        if (type != MIRADEL_M114_DOC_SALE) {
            return kBadArgument;
        }
        if (DocKind() == kDocNonFiscal) {
            // A non-fiscal document whose last line never came ends here.
            tape_.Separator();
            state_.SetInt("doc_kind", kDocNone);
        }
        if (DocKind() != kDocNone) {
            return kFiscalDocOpen;
        }
        if (!DayOpen()) {
            OpenDayCounters();
        }
        Bump("doc_number");
        Bump("receipt_number");
        state_.SetInt("doc_kind", kDocFiscal);
        state_.SetList("doc_field", {});
        state_.SetInt("doc_total", 0);
        state_.SetInt("doc_paid", 0);
        Save();
        return 0;
    }

    int32_t AddHeaderLine(int32_t header, int32_t line, int32_t column, int32_t* ext) {
        if (header < 1 || header > 4) {
            return Refused("add_header_line", ext, kBadArgument);
        }
        return AddField("add_header_line", line, column, ext,
                        [&] { return state_.Get("header" + std::to_string(header)); });
    }

    int32_t AddSerialNumber(int32_t line, int32_t column, int32_t* ext) {
        return AddField("add_serial_number", line, column, ext,
                        [&] { return "ЗН ККМ " + state_.Get("serial"); });
    }

    int32_t AddDocNumber(int32_t line, int32_t column, int32_t* ext) {
        return AddField("add_doc_number", line, column, ext,
                        [&] { return Numbered("ДОК %08lld", state_.GetInt("doc_number", 0)); });
    }

    int32_t AddTaxPayerNumber(int32_t line, int32_t column, int32_t* ext) {
        return AddField("add_tax_payer_number", line, column, ext,
                        [&] { return "ИНН " + state_.Get("taxpayer"); });
    }

    int32_t AddDateTime(int32_t line, int32_t column, int32_t* ext) {
        return AddField("add_date_time", line, column, ext,
                        [&] { return ClockText(state_.GetInt("clock_offset", 0)); });
    }

    int32_t AddReceiptNumber(int32_t line, int32_t column, int32_t* ext) {
        return AddField("add_receipt_number", line, column, ext,
                        [&] { return Numbered("ЧЕК %04lld", state_.GetInt("receipt_number", 0)); });
    }

    int32_t AddOperInfo(int32_t what, int32_t line, int32_t column, int32_t* ext) {
        return AddField("add_oper_info", line, column, ext, [&] {
            const std::string number = state_.Get("operator", "0");
            std::string text = "КАССИР";
            if (what & MIRADEL_M114_OPER_NUMBER) {
                text += " " + number;
            }
            if (what & MIRADEL_M114_OPER_NAME) {
                text += " " + state_.Get("operator_name." + number, "ОПЕРАТОР-" + number);
            }
            return text;
        });
    }

    int32_t AddCustom(const char* text, int32_t line, int32_t column, int32_t* ext) {
        return AddField("add_custom", line, column, ext,
                        [&] { return DecodeCp1251(text ? text : ""); });
    }

    int32_t AddItem(int32_t kind, int64_t price, int32_t place, int32_t section, int32_t quantity,
                    int32_t line, int32_t* ext) {
        if (kind != MIRADEL_M114_ITEM_GOODS || price < 0 || price > (int64_t{1} << 50)) {
            return Refused("add_item", ext, kBadArgument);
        }
        const int64_t count = quantity > 0 ? quantity : 1;
        const int64_t sum = CurrencyToHundredths(price) * count;
        const int32_t code = AddField("add_item", line, 0, ext, [&] {
            return Padded("  " + std::to_string(count) + " x " +
                              MoneyText(CurrencyToHundredths(price)),
                          "=" + MoneyText(sum)) +
                   "  СЕКЦИЯ " + std::to_string(section) + " РМ " + std::to_string(place);
        });
        if (code == 0) {
            state_.SetInt("doc_total", state_.GetInt("doc_total", 0) + sum);
            Save();
        }
        return code;
    }

    int32_t AddTotal(int32_t line, int32_t column, int32_t* ext) {
        return AddField("add_total", line, column, ext, [&] {
            return Padded("ИТОГ", "=" + MoneyText(state_.GetInt("doc_total", 0)));
        });
    }

    int32_t AddPay(int32_t type, int64_t amount, int32_t line, int32_t column, int32_t* ext) {
        if (type != MIRADEL_M114_PAY_CASH || amount < 0 || amount > (int64_t{1} << 50)) {
            return Refused("add_pay", ext, kBadArgument);
        }
        const int64_t paid = CurrencyToHundredths(amount);
        const int32_t code = AddField("add_pay", line, column, ext,
                                      [&] { return Padded("НАЛИЧНЫМИ", "=" + MoneyText(paid)); });
        if (code == 0) {
            state_.SetInt("doc_paid", state_.GetInt("doc_paid", 0) + paid);
            Save();
        }
        return code;
    }

    int32_t AddChange(int32_t line, int32_t column, int32_t* ext) {
        return AddField("add_change", line, column, ext, [&] {
            const int64_t change = state_.GetInt("doc_paid", 0) - state_.GetInt("doc_total", 0);
            return Padded("СДАЧА", "=" + MoneyText(std::max<int64_t>(change, 0)));
        });
    }

    int32_t AddRegNumber(int32_t line, int32_t column, int32_t* ext) {
        return AddField("add_reg_number", line, column, ext,
                        [&] { return "РН ККМ " + state_.Get("reg_number"); });
    }

    int32_t CloseFiscalDoc(int32_t* ext) {
        if (int32_t code = Guard("close_fiscal_doc", true, ext)) {
            return code;
        }
        if (DocKind() != kDocFiscal) {
            return kNoFiscalDoc;
        }
        const int64_t total = state_.GetInt("doc_total", 0);
        if (state_.GetInt("doc_paid", 0) < total) {
            return kNotAllowed;
        }
        std::vector<std::string> lines = Render();
        lines.push_back("ФП");
        tape_.Lines(lines);
        tape_.Separator();
        state_.SetList("last_check", lines);
        state_.SetInt("day_sales", state_.GetInt("day_sales", 0) + total);
        state_.SetInt("grand_total", state_.GetInt("grand_total", 0) + total);
        Bump("day_checks");
        EndDocument();
        return 0;
    }

    int32_t CancelFiscalDoc(int32_t* ext) {
        if (int32_t code = Guard("cancel_fiscal_doc", false, ext)) {
            return code;
        }
        if (DocKind() != kDocFiscal) {
            return kNoFiscalDoc;
        }
        tape_.Line(Numbered("ЧЕК %04lld АННУЛИРОВАН", state_.GetInt("receipt_number", 0)));
        tape_.Separator();
        Bump("day_cancelled");
        EndDocument();
        return 0;
    }

    int32_t PrintNonFiscal(const char* text, int32_t flags, int32_t* ext) {
        if (int32_t code = Guard("print_non_fiscal", true, ext)) {
            return code;
        }
        if (DocKind() == kDocFiscal) {
            return kNotAllowed;
        }
        if ((flags & MIRADEL_M114_NONFISCAL_FIRST) || DocKind() == kDocNone) {
            Bump("doc_number");
            state_.SetInt("doc_kind", kDocNonFiscal);
        }
        tape_.Line(DecodeCp1251(text ? text : ""));
        if (flags & MIRADEL_M114_NONFISCAL_LAST) {
            tape_.Separator();
            state_.SetInt("doc_kind", kDocNone);
        }
        Save();
        return 0;
    }

    int32_t OpenDay(int32_t operatorNumber, int32_t* ext) {
        if (int32_t code = Guard("open_day", true, ext)) {
            return code;
        }
        if (DocKind() == kDocFiscal) {
            return kNotAllowed;
        }
        const int32_t status = DayOpen() ? static_cast<int32_t>(state_.GetInt("shift", 0)) : -1;
        const int32_t answer = StatusUpdate(status);
        state_.SetInt("operator", operatorNumber);
        if (!DayOpen() && answer <= 0) {
            OpenDayCounters();
            tape_.Line(Numbered("ОТКРЫТИЕ СМЕНЫ %lld", state_.GetInt("shift", 0)));
            tape_.Line("КАССИР " + std::to_string(operatorNumber));
            tape_.Line(ClockText(state_.GetInt("clock_offset", 0)));
            tape_.Separator();
            Bump("doc_number");
        }
        Save();
        return 0;
    }

    int32_t XReport(int32_t* ext) {
        if (int32_t code = Guard("x_report", true, ext)) {
            return code;
        }
        if (DocKind() == kDocFiscal) {
            return kNotAllowed;
        }
        const std::vector<std::string> lines = Report("X-ОТЧЕТ");
        tape_.Lines(lines);
        tape_.Separator();
        state_.SetList("last_x", lines);
        Bump("doc_number");
        Save();
        return 0;
    }

    int32_t ZReport(int32_t* ext) {
        if (int32_t code = Guard("z_report", true, ext)) {
            return code;
        }
        if (DocKind() == kDocFiscal) {
            return kNotAllowed;
        }
        const bool wasOpen = DayOpen();
        if (!wasOpen && StatusUpdate(-1) < 0) {
            return kNotAllowed;  // no day to close, and the owner does not want an empty report
        }
        Bump("z_count");
        const std::vector<std::string> lines =
            Report(Numbered("Z-ОТЧЕТ %lld", state_.GetInt("z_count", 0)));
        tape_.Lines(lines);
        tape_.Separator();
        state_.SetList("last_z", lines);
        state_.SetInt("day_open", 0);
        state_.SetInt("day_sales", 0);
        state_.SetInt("day_checks", 0);
        state_.SetInt("day_cancelled", 0);
        state_.SetList("last_check", {});
        Bump("doc_number");
        Save();
        if (wasOpen) {
            StatusUpdate(-1);  // the day is closed now
        }
        return 0;
    }

    int32_t FeedAndCut(int32_t lines, int32_t* ext) {
        if (int32_t code = Guard("feed_and_cut", true, ext)) {
            return code;
        }
        if (Cutter() < 2) {
            return kNotSupportedByEcr;
        }
        for (int32_t i = 0; i < std::clamp(lines, 0, 50); ++i) {
            tape_.Line("");
        }
        Bump("cuts");
        Save();
        return 0;
    }

    int32_t ExternalPulse(int32_t output, int32_t on, int32_t off, int32_t count, int32_t* ext) {
        if (int32_t code = Guard("external_pulse", false, ext)) {
            return code;
        }
        if (output < 1 || on < 0 || off < 0 || count < 1) {
            return kBadArgument;
        }
        Bump("drawer_pulses");
        Save();
        return 0;
    }

    int32_t Synchronize(const MiradelM114DateTime* now, int32_t* ext) {
        if (int32_t code = Guard("synchronize_ecr_date_time", false, ext)) {
            return code;
        }
        if (now == nullptr || now->month < 1 || now->month > 12 || now->day < 1 || now->day > 31) {
            return kBadArgument;
        }
        const int64_t wanted = SecondsSinceEpochLocal(now->year, now->month, now->day, now->hour,
                                                      now->minute, now->second);
        state_.SetInt("clock_offset", wanted - NowLocalSeconds());
        Save();
        return 0;
    }

    int32_t CopyFiscalDoc(int32_t* ext) {
        if (int32_t code = Guard("copy_fiscal_doc", true, ext)) {
            return code;
        }
        const std::vector<std::string> last = state_.GetList("last_check");
        if (last.empty() || DocKind() == kDocFiscal) {
            return kNotAllowed;
        }
        tape_.Line("КОПИЯ ЧЕКА");
        tape_.Lines(last);
        tape_.Separator();
        Save();
        return 0;
    }

    int32_t CheckStatus(int32_t* status, int32_t* ext) {
        if (int32_t code = Guard("check_ecr_status", false, ext)) {
            return code;
        }
        int32_t bits = 0;
        bits |= DayOpen() ? 0x01 : 0;
        bits |= DocKind() == kDocFiscal ? 0x02 : 0;
        bits |= DocKind() == kDocNonFiscal ? 0x04 : 0;
        bits |= state_.GetList("last_check").empty() ? 0 : MIRADEL_M114_STATUS_LAST_DOC;
        if (status) {
            *status = bits;
        }
        return 0;
    }

    void Destroy() { Save(); }

  private:
    void Default(const std::string& key, const std::string& value) {
        if (state_.GetList(key).empty()) {
            state_.Set(key, value);
        }
    }

    int64_t Setting(std::string_view name, int64_t fallback) {
        if (auto value = faults_.Setting(name)) {
            return *value;
        }
        return state_.GetInt(name, fallback);
    }

    bool DayOpen() const { return state_.GetInt("day_open", 0) != 0; }
    int DocKind() const { return static_cast<int>(state_.GetInt("doc_kind", kDocNone)); }
    void Bump(const std::string& key) { state_.SetInt(key, state_.GetInt(key, 0) + 1); }
    void Save() { state_.Save(); }

    void OpenDayCounters() {
        Bump("shift");
        state_.SetInt("day_open", 1);
    }

    void EndDocument() {
        state_.SetInt("doc_kind", kDocNone);
        state_.SetList("doc_field", {});
        state_.SetInt("doc_total", 0);
        state_.SetInt("doc_paid", 0);
        Save();
    }

    int32_t StatusUpdate(int32_t status) {
        return events_.status_update ? events_.status_update(events_.user, Self(), status) : status;
    }

    // 0 when the operation may go ahead; otherwise its error code, after the owner was asked
    // about retrying a register fault.
    int32_t Guard(std::string_view op, bool prints, int32_t* ext) {
        if (ext) {
            *ext = 0;
        }
        if (!opened_ && op != "open") {
            return kNotOpen;
        }
        for (;;) {
            const auto fault = faults_.Check(op, prints);
            if (!fault) {
                return 0;
            }
            if (ext) {
                *ext = fault->extended;
            }
            if (!fault->hardware || events_.printer_error == nullptr) {
                return fault->code;
            }
            retry_ = false;
            events_.printer_error(events_.user, Self(), fault->code, fault->extended);
            if (!retry_) {
                return fault->code;
            }
        }
    }

    int32_t Refused(std::string_view op, int32_t* ext, int32_t code) {
        if (int32_t fault = Guard(op, false, ext)) {
            return fault;
        }
        return code;
    }

    template <class Text>
    int32_t AddField(std::string_view op, int32_t line, int32_t column, int32_t* ext, Text&& text) {
        if (int32_t code = Guard(op, false, ext)) {
            return code;
        }
        if (DocKind() != kDocFiscal) {
            return kNoFiscalDoc;
        }
        if (line < 0 || line >= kMaxLine || column < 0 || column > 80) {
            return line >= kMaxLine ? kTooManyItems : kBadArgument;
        }
        std::vector<std::string> fields = state_.GetList("doc_field");
        fields.push_back(std::to_string(line) + '\t' + std::to_string(column) + '\t' + text());
        state_.SetList("doc_field", fields);
        Save();
        return 0;
    }

    std::vector<std::string> Render() const {
        std::vector<std::tuple<int, int, std::size_t, std::string>> parts;
        const std::vector<std::string> fields = state_.GetList("doc_field");
        for (std::size_t i = 0; i < fields.size(); ++i) {
            std::istringstream in(fields[i]);
            std::string line;
            std::string column;
            std::string text;
            std::getline(in, line, '\t');
            std::getline(in, column, '\t');
            std::getline(in, text);
            parts.emplace_back(std::atoi(line.c_str()), std::atoi(column.c_str()), i, text);
        }
        std::sort(parts.begin(), parts.end());
        std::vector<std::string> lines;
        int current = -1;
        for (const auto& [line, column, order, text] : parts) {
            if (line != current) {
                lines.emplace_back();
                current = line;
            }
            std::string& out = lines.back();
            const auto used = static_cast<int>(Utf8Chars(out));
            if (used < column) {
                out.append(static_cast<std::size_t>(column - used), ' ');
            } else if (!out.empty()) {
                out.push_back(' ');
            }
            out += text;
        }
        return lines;
    }

    std::vector<std::string> Report(const std::string& title) const {
        return {
            title,
            "ЗН ККМ " + state_.Get("serial"),
            ClockText(state_.GetInt("clock_offset", 0)),
            Numbered("СМЕНА %lld", state_.GetInt("shift", 0)),
            Padded("ЧЕКОВ", std::to_string(state_.GetInt("day_checks", 0))),
            Padded("АННУЛИРОВАНО", std::to_string(state_.GetInt("day_cancelled", 0))),
            Padded("ПРОДАЖИ", "=" + MoneyText(state_.GetInt("day_sales", 0))),
            Padded("НАРАСТАЮЩИЙ ИТОГ", "=" + MoneyText(state_.GetInt("grand_total", 0))),
        };
    }

    std::filesystem::path dir_;
    FaultControl faults_;
    StateFile state_;
    Tape tape_;
    MiradelM114Events events_{};
    int32_t port_ = 0;
    int32_t baud_ = 0;
    std::string password_;
    bool opened_ = false;
    bool retry_ = false;
};

Component* Of(MiradelM114* c) {
    return reinterpret_cast<Component*>(c);
}

// Nothing may unwind into the program: every entry catches.
template <class Fn>
int32_t Guarded(MiradelM114* c, int32_t* ext, Fn&& fn) {
    if (c == nullptr) {
        return kNotOpen;
    }
    try {
        return fn(*Of(c));
    } catch (...) {
        if (ext) {
            *ext = 0;
        }
        return 17;  // "Ошибка опер. системы"
    }
}

MiradelM114* Create(const MiradelFiscalHost* host) {
    if (host == nullptr) {
        return nullptr;
    }
    try {
        return (new Component(*host))->Self();
    } catch (...) {
        return nullptr;
    }
}

void Destroy(MiradelM114* c) {
    if (c == nullptr) {
        return;
    }
    std::unique_ptr<Component> owned(Of(c));
    try {
        owned->Destroy();
    } catch (...) {
    }
}

#define MIRADEL_EMU_CALL(...) Guarded(c, ext, [&](Component& self) { return self.__VA_ARGS__; })

void SetEvents(MiradelM114* c, const MiradelM114Events* e) {
    if (c) {
        Of(c)->SetEvents(e);
    }
}
int32_t SetPortNum(MiradelM114* c, int32_t port) {
    int32_t* ext = nullptr;
    return MIRADEL_EMU_CALL(SetPort(port));
}
int32_t SetBaudRate(MiradelM114* c, int32_t baud) {
    int32_t* ext = nullptr;
    return MIRADEL_EMU_CALL(SetBaud(baud));
}
int32_t SetPassword(MiradelM114* c, const char* password) {
    int32_t* ext = nullptr;
    return MIRADEL_EMU_CALL(SetPassword(password));
}
int32_t ModelOf(MiradelM114* c) {
    int32_t* ext = nullptr;
    return MIRADEL_EMU_CALL(Model());
}
int32_t CutterOf(MiradelM114* c) {
    int32_t* ext = nullptr;
    return MIRADEL_EMU_CALL(Cutter());
}
int32_t OpenC(MiradelM114* c, int32_t* ext) {
    return MIRADEL_EMU_CALL(Open(ext));
}
int32_t OpenFiscalDocC(MiradelM114* c, int32_t type, int32_t* ext) {
    return MIRADEL_EMU_CALL(OpenFiscalDoc(type, ext));
}
int32_t AddHeaderLineC(MiradelM114* c, int32_t h, int32_t l, int32_t col, int32_t* ext) {
    return MIRADEL_EMU_CALL(AddHeaderLine(h, l, col, ext));
}
int32_t AddSerialNumberC(MiradelM114* c, int32_t l, int32_t col, int32_t* ext) {
    return MIRADEL_EMU_CALL(AddSerialNumber(l, col, ext));
}
int32_t AddDocNumberC(MiradelM114* c, int32_t l, int32_t col, int32_t* ext) {
    return MIRADEL_EMU_CALL(AddDocNumber(l, col, ext));
}
int32_t AddTaxPayerNumberC(MiradelM114* c, int32_t l, int32_t col, int32_t* ext) {
    return MIRADEL_EMU_CALL(AddTaxPayerNumber(l, col, ext));
}
int32_t AddDateTimeC(MiradelM114* c, int32_t l, int32_t col, int32_t* ext) {
    return MIRADEL_EMU_CALL(AddDateTime(l, col, ext));
}
int32_t AddReceiptNumberC(MiradelM114* c, int32_t l, int32_t col, int32_t* ext) {
    return MIRADEL_EMU_CALL(AddReceiptNumber(l, col, ext));
}
int32_t AddOperInfoC(MiradelM114* c, int32_t what, int32_t l, int32_t col, int32_t* ext) {
    return MIRADEL_EMU_CALL(AddOperInfo(what, l, col, ext));
}
int32_t AddCustomC(MiradelM114* c, const char* text, int32_t l, int32_t col, int32_t* ext) {
    return MIRADEL_EMU_CALL(AddCustom(text, l, col, ext));
}
int32_t AddItemC(MiradelM114* c, int32_t kind, int64_t price, int32_t place, int32_t section,
                 int32_t quantity, int32_t l, int32_t* ext) {
    return MIRADEL_EMU_CALL(AddItem(kind, price, place, section, quantity, l, ext));
}
int32_t AddTotalC(MiradelM114* c, int32_t l, int32_t col, int32_t* ext) {
    return MIRADEL_EMU_CALL(AddTotal(l, col, ext));
}
int32_t AddPayC(MiradelM114* c, int32_t type, int64_t amount, int32_t l, int32_t col,
                int32_t* ext) {
    return MIRADEL_EMU_CALL(AddPay(type, amount, l, col, ext));
}
int32_t AddChangeC(MiradelM114* c, int32_t l, int32_t col, int32_t* ext) {
    return MIRADEL_EMU_CALL(AddChange(l, col, ext));
}
int32_t AddRegNumberC(MiradelM114* c, int32_t l, int32_t col, int32_t* ext) {
    return MIRADEL_EMU_CALL(AddRegNumber(l, col, ext));
}
int32_t CloseFiscalDocC(MiradelM114* c, int32_t* ext) {
    return MIRADEL_EMU_CALL(CloseFiscalDoc(ext));
}
int32_t CancelFiscalDocC(MiradelM114* c, int32_t* ext) {
    return MIRADEL_EMU_CALL(CancelFiscalDoc(ext));
}
int32_t PrintNonFiscalC(MiradelM114* c, const char* text, int32_t flags, int32_t* ext) {
    return MIRADEL_EMU_CALL(PrintNonFiscal(text, flags, ext));
}
int32_t OpenDayC(MiradelM114* c, int32_t op, int32_t* ext) {
    return MIRADEL_EMU_CALL(OpenDay(op, ext));
}
int32_t XReportC(MiradelM114* c, int32_t* ext) {
    return MIRADEL_EMU_CALL(XReport(ext));
}
int32_t ZReportC(MiradelM114* c, int32_t* ext) {
    return MIRADEL_EMU_CALL(ZReport(ext));
}
int32_t FeedAndCutC(MiradelM114* c, int32_t lines, int32_t* ext) {
    return MIRADEL_EMU_CALL(FeedAndCut(lines, ext));
}
int32_t ExternalPulseC(MiradelM114* c, int32_t o, int32_t on, int32_t off, int32_t n,
                       int32_t* ext) {
    return MIRADEL_EMU_CALL(ExternalPulse(o, on, off, n, ext));
}
int32_t SynchronizeC(MiradelM114* c, const MiradelM114DateTime* now, int32_t* ext) {
    return MIRADEL_EMU_CALL(Synchronize(now, ext));
}
int32_t CopyFiscalDocC(MiradelM114* c, int32_t* ext) {
    return MIRADEL_EMU_CALL(CopyFiscalDoc(ext));
}
int32_t CheckEcrStatusC(MiradelM114* c, int32_t* status, int32_t* ext) {
    return MIRADEL_EMU_CALL(CheckStatus(status, ext));
}
void SetRetryOperationC(MiradelM114* c, int32_t retry) {
    if (c) {
        Of(c)->SetRetry(retry);
    }
}

#undef MIRADEL_EMU_CALL

constexpr MiradelM114Driver kDriver = {
    MIRADEL_FISCAL_ABI_VERSION,
    sizeof(MiradelM114Driver),
    Create,
    Destroy,
    SetEvents,
    SetPortNum,
    SetBaudRate,
    SetPassword,
    ModelOf,
    CutterOf,
    OpenC,
    OpenFiscalDocC,
    AddHeaderLineC,
    AddSerialNumberC,
    AddDocNumberC,
    AddTaxPayerNumberC,
    AddDateTimeC,
    AddReceiptNumberC,
    AddOperInfoC,
    AddCustomC,
    AddItemC,
    AddTotalC,
    AddPayC,
    AddChangeC,
    AddRegNumberC,
    CloseFiscalDocC,
    CancelFiscalDocC,
    PrintNonFiscalC,
    OpenDayC,
    XReportC,
    ZReportC,
    FeedAndCutC,
    ExternalPulseC,
    SynchronizeC,
    CopyFiscalDocC,
    CheckEcrStatusC,
    SetRetryOperationC,
};

}  // namespace
}  // namespace miradel::emu

extern "C" __attribute__((visibility("default"))) const MiradelM114Driver* miradel_m114_driver(
    uint32_t hostAbiVersion) {
    return hostAbiVersion == MIRADEL_FISCAL_ABI_VERSION ? &miradel::emu::kDriver : nullptr;
}
