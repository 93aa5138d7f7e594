#pragma once
// The two register drivers as the workers see them. The plug-in adapters (FiscalPlugin) put
// the C interface of FiscalDriverAbi.h behind these; tests may put fakes behind them.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "common/Clock.h"

namespace miradel {

// Меркурий 130Ф: the seven calls of its driver library.
class M130Driver {
  public:
    struct Answer {
        int32_t code = 0;
        std::string text;  // the register's answer, at most 127 bytes
    };

    virtual ~M130Driver() = default;
    // Ordinal 1, COM port 1..8; false when the port cannot be opened.
    virtual bool Open(int comPort) = 0;
    virtual bool IsOpen() const = 0;
    virtual Answer SerialNumber() = 0;                        // ordinal 8
    virtual int32_t PrintText(std::string_view dosText) = 0;  // ordinal 9
    virtual int32_t SaleLine(std::string_view dosText, float price, float quantity, float amount,
                             uint8_t section) = 0;  // ordinal 2
    virtual int32_t CloseCheck(float payment) = 0;  // ordinal 3
    virtual int32_t CancelCheck() = 0;              // ordinal 7
    virtual void Close() = 0;                       // ordinal 10; nothing when not open
};

// A failed operation of the 114.1Ф component.
class M114Error : public std::exception {
  public:
    M114Error(int32_t code, int32_t extended) : code_(code), extended_(extended) {}
    const char* what() const noexcept override { return "114.1F component error"; }
    int32_t code() const { return code_; }
    int32_t extended() const { return extended_; }

  private:
    int32_t code_;
    int32_t extended_;
};

// What the component tells its owner while an operation runs.
class M114Listener {
  public:
    virtual ~M114Listener() = default;
    virtual void OnPrinterError(int32_t code, int32_t extended) = 0;
    virtual int32_t OnStatusUpdate(int32_t status) = 0;
};

// Меркурий 114.1Ф component. Operations throw M114Error when they fail.
class M114Component {
  public:
    virtual ~M114Component() = default;

    virtual void SetListener(M114Listener* listener) = 0;
    virtual void SetPortNum(int32_t port) = 0;
    virtual void SetBaudRate(int32_t baud) = 0;
    virtual void SetPassword(std::string_view cp1251) = 0;
    virtual int32_t Model() = 0;
    virtual int32_t Cutter() = 0;

    virtual void Open() = 0;
    virtual void OpenFiscalDoc(int32_t docType) = 0;
    virtual void AddHeaderLine(int32_t header, int32_t line, int32_t column) = 0;
    virtual void AddSerialNumber(int32_t line, int32_t column) = 0;
    virtual void AddDocNumber(int32_t line, int32_t column) = 0;
    virtual void AddTaxPayerNumber(int32_t line, int32_t column) = 0;
    virtual void AddDateTime(int32_t line, int32_t column) = 0;
    virtual void AddReceiptNumber(int32_t line, int32_t column) = 0;
    virtual void AddOperInfo(int32_t what, int32_t line, int32_t column) = 0;
    virtual void AddCustom(std::string_view cp1251, int32_t line, int32_t column) = 0;
    virtual void AddItem(int32_t kind, int64_t price, int32_t place, int32_t section,
                         int32_t quantity, int32_t line) = 0;
    virtual void AddTotal(int32_t line, int32_t column) = 0;
    virtual void AddPay(int32_t payType, int64_t amount, int32_t line, int32_t column) = 0;
    virtual void AddChange(int32_t line, int32_t column) = 0;
    virtual void AddRegNumber(int32_t line, int32_t column) = 0;
    virtual void CloseFiscalDoc() = 0;
    virtual void CancelFiscalDoc() = 0;
    virtual void PrintNonFiscal(std::string_view cp1251, int32_t flags) = 0;
    virtual void OpenDay(int32_t operatorNumber) = 0;
    virtual void XReport() = 0;
    virtual void ZReport() = 0;
    virtual void FeedAndCut(int32_t lines) = 0;
    virtual void ExternalPulse(int32_t output, int32_t onTime, int32_t offTime, int32_t count) = 0;
    virtual void SynchronizeEcrDateTime(const LocalDateTime& now) = 0;
    virtual void CopyFiscalDoc() = 0;
    virtual int32_t CheckEcrStatus() = 0;
    virtual void SetRetryOperation(bool retry) = 0;
};

}  // namespace miradel
