#pragma once
// M114F, the Меркурий 114.1Ф worker.
//
// Every record is executed once and released. A failing operation first asks the operator
// whether to retry it (through the component's printer error event); when it still fails the
// error goes to the status line, the open fiscal document is cancelled and the worker goes on
// with the next record.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/OperatorPrompt.h"
#include "printing/DataCheck.h"
#include "printing/FiscalDrivers.h"
#include "printing/FiscalWorker.h"

namespace miradel {

inline constexpr const char* kRetryQuestion = "Ошибка печати ККМ!\nПовторить или отменить?";
inline constexpr const char* kRetryCaption = "Ошибка ККМ!";
inline constexpr const char* kNoLastCheck = "В буфере нет данных чека!";
inline constexpr const char* kNoLastCheckCaption = "Копия чека";

class M114F final : public FiscalWorker, private M114Listener {
  public:
    // Sets the port ("COM - ККМ" + 1), 9600 baud and the password, then opens the component.
    // When it cannot open: raises the link failure flag, releases the component and throws
    // FiscalStartError.
    M114F(FiscalWorkerContext context, std::unique_ptr<M114Component> component,
          OperatorPrompt& prompt, int comPortSetting, const std::string& passwordUtf8);
    ~M114F() override;

    int64_t Step() override;
    void Finish() override;

    int LastResult() const { return lastResult_; }
    int ExtendedCode() const { return extended_; }
    int LineCounter() const { return line_; }
    bool NonFiscalOpen() const { return nonFiscalOpen_; }
    bool QuestionShowing() const { return questionShowing_; }

  private:
    void Execute(const DataCheck& record);
    void OpenSale();
    void Failed(const M114Error& error, const DataCheck& record);
    void CancelDocument();
    void ClearResult();
    void WriteRow(const DataCheck* record, int code, const std::string& text,
                  std::optional<int16_t> extended = std::nullopt);
    bool IsError() const { return lastResult_ != 0 && lastResult_ != -1; }

    void OnPrinterError(int32_t code, int32_t extended) override;
    int32_t OnStatusUpdate(int32_t status) override;

    FiscalWorkerContext context_;
    std::unique_ptr<M114Component> component_;
    OperatorPrompt& prompt_;

    std::unique_ptr<DataCheck> current_;
    int lastResult_ = -1;
    int extended_ = 0;
    int line_ = 0;
    bool nonFiscalOpen_ = false;
    std::atomic<bool> questionShowing_{false};
    bool executeNext_ = false;
};

}  // namespace miradel
