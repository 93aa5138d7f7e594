#pragma once
// TDMInfo, the data module: owns the connections to the office's two database files and every
// table object, carries the writers that append one record each, and the last-error slot.
//
// Connections (see Connection for the thread rule):
//   APPD_MAIN   - the window thread and the booths' engine context: INFO, PASSWORD, ENTERFAX,
//                 REFER, NS, RETSUMMA, AVANSINFO and tblFprint (the protocol viewer's FPRINT);
//   APPD_THREAD - the "ssThread" side, used from worker threads: tblThreadFisc (the fiscal
//                 workers' FPRINT), RINGROUND and TABLEROUND (dial-around), TPAY, REPORTPAY;
//   APPZ        - the order service: ZService, ZAKAZ, ZRESULT.
//
// Every writer follows one discipline: open the table if it is closed; if the table is not in
// browse state (another edit or insert is pending) return false and touch nothing; otherwise
// append, fill every field, post, and return true. A writer that fails inside (engine error,
// a value that does not fit) drops its record before the error leaves it, so the table is
// ready again for the next write. Callers wrap writers in WriteWithRetry.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/Clock.h"
#include "common/Money.h"
#include "store/Connection.h"
#include "store/LastError.h"
#include "store/Table.h"

namespace miradel {

// What the writers need from app.cfg, without tying the store to the application. The
// operator and the page price are read before a writer takes the connection's lock; the fax
// number is taken under it (after the ready check), so that callback must not wait for
// anything that may itself be waiting for the store.
struct OfficeCounters {
    std::function<int()> operatorOnDuty;     // the operator on duty (app.cfg offset 560)
    std::function<int32_t()> takeFaxNumber;  // next incoming fax number, post-incremented; the
                                             // owner of app.cfg raises its dirty flag
    std::function<Money()> faxPagePrice;     // price of one fax page, hundredths
};

// A billed call as the booth hands it over.
struct FinishedCall {
    int16_t boothNumber = 0;
    std::string dialled;
    int32_t durationSeconds = 0;
    Money charge = 0;
    LocalDateTime start;  // call start
};

// One line of a closed payment check.
struct PaymentLine {
    int32_t kind = 0;  // NTPAY
    int32_t section = 0;
    int32_t receipt = 0;
    std::string goods;
    int32_t price = 0;
    int32_t quantity = 0;
    Money sum = 0;
};

class TDMInfo {
  public:
    // Connects both databases of the working folder, creating them with all their tables on
    // first start, and opens TPAY and REPORTPAY. Throws StoreError (missing folder, read-only,
    // locked, damaged or newer files) with a plain message.
    TDMInfo(const std::filesystem::path& workDir, const Clock& clock, OfficeCounters counters);
    ~TDMInfo();
    TDMInfo(const TDMInfo&) = delete;
    TDMInfo& operator=(const TDMInfo&) = delete;

    Connection& APPD_MAIN() { return *appdMain_; }
    Connection& APPD_THREAD() { return *appdThread_; }
    Connection& APPZ() { return *appz_; }

  private:
    std::unique_ptr<Connection> appdMain_;
    std::unique_ptr<Connection> appdThread_;
    std::unique_ptr<Connection> appz_;

  public:
    Table tblInfo;
    Table tblPassword;
    Table tblRingRound;
    Table tblRound;
    Table tblEnterFax;
    Table tblGor;
    Table tblNs;
    Table tblZSrv;
    Table tblZakaz;
    Table tblFprint;
    Table tblThreadFisc;
    Table tblTpay;
    Table tblReturn;
    Table tblPay;
    Table tblAvans;
    Table tblAZakaz;

    // Every table object, in the order above.
    std::vector<Table*> AllTables();
    // The reindex and repair windows close every table while they are shown and open all of
    // them again afterwards, PASSWORD included. OpenAllTables opens what it can and throws the
    // first failure after trying the rest.
    void CloseAllTables();
    void OpenAllTables();

    LastErrorSlot& LastError() { return lastError_; }

    // One INFO row: NUMBER, OPERATOR, DIAL_UP, TICKET, DURATION "mm:ss", TARIF, SUMMA, AVANS
    // (hundredths), REST, _DATE and _TIME of the call start.
    bool WriteCallRecord(const FinishedCall& call, int32_t ticket, int16_t operatorNumber,
                         Money advance, Money rest, Money tariff);
    // One ENTERFAX row: NUMBER from the fax counter, SUMMA = pages x page price, now, FLAG 0.
    bool WriteFaxRecord(int32_t operatorNumber, int32_t durationSeconds, int32_t pageCount);
    // Replaces the dial-around list with the numbers of the file, in one transaction, and
    // closes the table. A file that cannot be opened leaves the list as it was. Returns the
    // count loaded (0 also when the table was not ready).
    uint16_t RebuildRingRound(const std::filesystem::path& listFile);
    // One RETSUMMA row, FLAG 0 (unclaimed), by the operator on duty.
    bool WriteUnclaimedBalance(int32_t ticket, Money balance, Money advance, int16_t boothNumber);
    // One REPORTPAY row by the operator on duty.
    bool WritePaymentLine(const PaymentLine& line);
    // One AVANSINFO row by the operator on duty.
    bool WriteAdvance(int32_t ticket, Money amount, int16_t flag);

  private:
    bool AppendRecord(Table& table, const std::function<void(Table&)>& fill);
    int OperatorOnDuty() const;

    const Clock& clock_;
    OfficeCounters counters_;
    LastErrorSlot lastError_;
};

// "%.2u:%.2u" of whole seconds: minutes and seconds ("62:05").
std::string MinutesSecondsText(int32_t seconds);

}  // namespace miradel
