#pragma once
// The fiscal menu commands and the operator registration, as documents for the print queue.
// The window shows the commands only with the Меркурий 114.1Ф (FiscalMenuVisible); the
// window thread calls them, and none of them waits on the register.

#include "app/config/AppConfig.h"
#include "common/OperatorPrompt.h"
#include "printing/FiscalFlags.h"
#include "printing/PrintQueue.h"

namespace miradel {

inline constexpr const char* kZReportQuestion =
    "Вы уверены  что хотите получить Z-отчет?\nБудут сброшены все внутренние счетчики ККМ!";
inline constexpr const char* kZReportCaption = "Z-отчет";

inline constexpr int32_t kReceiptOnPrinter = 0;
inline constexpr int32_t kMercury130 = 1;
inline constexpr int32_t kMercury114 = 2;

// "X - отчет", "Z - отчет", "Отменить транзакцию", "Копия фискального чека" and
// "Открыть денежный ящик" are shown with the 114.1Ф once its worker runs.
bool FiscalMenuVisible(const AppConfig& config, const FiscalFlags& flags);

class FiscalCommands {
  public:
    FiscalCommands(AppConfig& config, PrintQueue& queue, FiscalFlags& flags);

    // "X - отчет": 13, end of document.
    void XReport();
    // "Z - отчет": asks first; on Yes queues the report and returns true, and the caller then
    // runs the operator login (whose registration is RegisterOperator).
    bool ZReportCommand(OperatorPrompt& prompt);
    // The Z report without the question (cash collection with "Инкассация + Z-отчет"):
    // 14, end; with "Z-отчет + синхронизация времени" also 17, end.
    void ZReport();
    // "Копия фискального чека": 18 with the operator, end of document numbered 0.
    void CopyLastCheck(int operatorNumber);
    // "Открыть денежный ящик": 16 alone.
    void OpenDrawer();
    // "Отменить транзакцию": no record, the worker's cancel request.
    void CancelTransaction();
    // After a login, 114.1Ф only: 12 with the operator, end of document numbered 0.
    void RegisterOperator(int operatorNumber);

  private:
    int32_t NextReceipt() const;

    AppConfig& config_;
    PrintQueue& queue_;
    FiscalFlags& flags_;
};

}  // namespace miradel
