#pragma once
// The window models of "Протокол работы фискального принтера" (the FPRINT grid) and of
// "Очистка базы протокола" (its purge and pack). The Qt windows render these.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Clock.h"
#include "common/OperatorLogSink.h"
#include "printing/FiscalProtocolLog.h"

namespace miradel {

inline constexpr const char* kProtocolViewerCaption = "Протокол работы фискального принтера";
inline constexpr const char* kProtocolFromLabel = "Начальная дата чч.мм.гг.";
inline constexpr const char* kProtocolToLabel = "Конечная дата чч.мм.гг.";
inline constexpr std::array<std::string_view, 6> kProtocolColumns = {
    "Квитанция", "Результат операции", "Дата", "Время", "Код", "Доп. код"};

inline constexpr const char* kProtocolPurgeCaption = "Очистка базы протокола";
inline constexpr const char* kPurgeWarning =
    "ВНИМАНИЕ - при нажатии кнопки Очистка будут удалены записи из базы данных по указанную "
    "администратором дату Включительно!!!";
inline constexpr const char* kPurgeDatePrompt = "Ввести дату  чч.мм.гг";
inline constexpr const char* kPurgeReady = "Готовность";
inline constexpr const char* kPurgeWait = "Ждите !";
inline constexpr const char* kPurgeDone = "База очищена!";
inline constexpr const char* kPackDone = "Упаковано!";
inline constexpr const char* kPackFailed = "Ошибка!";
inline constexpr int kLogEventProtocolPurge = 11;
inline constexpr int kLogEventProtocolPack = 30;

// "dd.mm.yy" (years 00..99 are 2000..2099) or "dd.mm.yyyy"; empty when not a calendar date.
std::optional<FiscalDate> ParseFieldDate(std::string_view text);
// The date fields' form, "dd.mm.yy".
std::string FieldDateText(const FiscalDate& date);

class FiscalProtocolViewerModel {
  public:
    struct Row {
        std::array<std::string, 6> cells;  // in the order of kProtocolColumns
        bool red = false;                  // FLAG is not 0
    };

    FiscalProtocolViewerModel(FiscalProtocolLog& log, const Clock& clock);

    // Both date fields become today; then a search.
    void Open();
    void SetFromText(std::string text) { fromText_ = std::move(text); }
    void SetToText(std::string text) { toText_ = std::move(text); }
    const std::string& FromText() const { return fromText_; }
    const std::string& ToText() const { return toText_; }
    // "Поиск": rows with from <= _DATE <= to. False, and the grid left as it was, when a date
    // field does not hold a date.
    bool Search();
    // The filter the table is searched with: "_DATE >= %s AND _DATE <= %s" of the two texts.
    std::string FilterText() const;
    const std::vector<Row>& Rows() const { return rows_; }

  private:
    FiscalProtocolLog& log_;
    const Clock& clock_;
    std::string fromText_;
    std::string toText_;
    std::vector<Row> rows_;
};

class FiscalProtocolPurgeModel {
  public:
    FiscalProtocolPurgeModel(FiscalProtocolLog& table, const Clock& clock,
                             OperatorLogSink& operatorLog);

    // The date input becomes today, the status line "Готовность".
    void Open();
    void SetDateText(std::string text) { dateText_ = std::move(text); }
    const std::string& DateText() const { return dateText_; }
    const std::string& Status() const { return status_; }
    // "Очистка": removes the rows up to and including the date, shows the date as the table
    // reads it back, "База очищена!", and logs event 11. False when the input is no date.
    bool Purge();
    // "Упаковка": "Упаковано!" or "Ошибка!", and event 30.
    bool Pack();
    // Closing the window: the status line goes back to "Готовность".
    void Close() { status_ = kPurgeReady; }

  private:
    FiscalProtocolLog& table_;
    const Clock& clock_;
    OperatorLogSink& operatorLog_;
    std::string dateText_;
    std::string status_ = kPurgeReady;
};

}  // namespace miradel
