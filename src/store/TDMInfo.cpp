#include "store/TDMInfo.h"

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Transaction.h>
#include <fmt/format.h>

#include "store/DialAroundList.h"
#include "store/StoreError.h"

namespace miradel {

namespace {

const TableDef& Def(std::string_view name) {
    return *FindTableDef(name);
}

}  // namespace

std::string MinutesSecondsText(int32_t seconds) {
    if (seconds < 0) {
        seconds = 0;
    }
    return fmt::format("{:02}:{:02}", seconds / 60, seconds % 60);
}

TDMInfo::TDMInfo(const std::filesystem::path& workDir, const Clock& clock, OfficeCounters counters)
    : appdMain_(std::make_unique<Connection>(workDir, Alias::APPD, OpenMode::CreateIfMissing,
                                             "APPD_MAIN")),
      appdThread_(std::make_unique<Connection>(workDir, Alias::APPD, OpenMode::CreateIfMissing,
                                               "APPD_THREAD")),
      appz_(std::make_unique<Connection>(workDir, Alias::APPZ, OpenMode::CreateIfMissing, "APPZ")),
      tblInfo(*appdMain_, Def("INFO"), "tblInfo"),
      tblPassword(*appdMain_, Def("PASSWORD"), "tblPassword"),
      tblRingRound(*appdThread_, Def("RINGROUND"), "tblRingRound"),
      tblRound(*appdThread_, Def("TABLEROUND"), "tblRound"),
      tblEnterFax(*appdMain_, Def("ENTERFAX"), "tblEnterFax"),
      tblGor(*appdMain_, Def("REFER"), "tblGor"),
      tblNs(*appdMain_, Def("NS"), "tblNs"),
      tblZSrv(*appz_, Def("ZService"), "tblZSrv"),
      tblZakaz(*appz_, Def("ZAKAZ"), "tblZakaz"),
      tblFprint(*appdMain_, Def("FPRINT"), "tblFprint"),
      tblThreadFisc(*appdThread_, Def("FPRINT"), "tblThreadFisc"),
      tblTpay(*appdThread_, Def("TPAY"), "tblTpay"),
      tblReturn(*appdMain_, Def("RETSUMMA"), "tblReturn"),
      tblPay(*appdThread_, Def("REPORTPAY"), "tblPay"),
      tblAvans(*appdMain_, Def("AVANSINFO"), "tblAvans"),
      tblAZakaz(*appz_, Def("ZRESULT"), "tblAZakaz"),
      clock_(clock),
      counters_(std::move(counters)) {
    tblTpay.Open();
    tblPay.Open();
}

TDMInfo::~TDMInfo() = default;

std::vector<Table*> TDMInfo::AllTables() {
    return {&tblInfo,   &tblPassword, &tblRingRound, &tblRound,  &tblEnterFax,   &tblGor,
            &tblNs,     &tblZSrv,     &tblZakaz,     &tblFprint, &tblThreadFisc, &tblTpay,
            &tblReturn, &tblPay,      &tblAvans,     &tblAZakaz};
}

void TDMInfo::CloseAllTables() {
    for (Table* table : AllTables()) {
        table->Close();
    }
}

void TDMInfo::OpenAllTables() {
    std::optional<StoreError> first;
    for (Table* table : AllTables()) {
        try {
            table->Open();
        } catch (const StoreError& error) {
            if (!first) {
                first = error;
            }
        }
    }
    if (first) {
        throw *first;
    }
}

int TDMInfo::OperatorOnDuty() const {
    return counters_.operatorOnDuty ? counters_.operatorOnDuty() : 0;
}

bool TDMInfo::AppendRecord(Table& table, const std::function<void(Table&)>& fill) {
    // The connection's lock spans the ready check and the post, so no other thread can slip a
    // record in between.
    auto lock = table.connection().Lock();
    if (!table.Active()) {
        table.Open();
    }
    if (table.State() != TableState::Browse) {
        return false;
    }
    table.Append();
    try {
        fill(table);
        table.Post();
    } catch (...) {
        // A record left pending would make every later write find the table not ready.
        table.Cancel();
        throw;
    }
    return true;
}

bool TDMInfo::WriteCallRecord(const FinishedCall& call, int32_t ticket, int16_t operatorNumber,
                              Money advance, Money rest, Money tariff) {
    return AppendRecord(tblInfo, [&](Table& t) {
        t.FieldByName("NUMBER").SetInteger(call.boothNumber);
        t.FieldByName("OPERATOR").SetInteger(operatorNumber);
        t.FieldByName("DIAL_UP").SetString(call.dialled);
        t.FieldByName("TICKET").SetInteger(ticket);
        t.FieldByName("DURATION").SetString(MinutesSecondsText(call.durationSeconds));
        t.FieldByName("TARIF").SetString(MoneyFieldText(tariff));
        t.FieldByName("SUMMA").SetString(MoneyFieldText(call.charge));
        t.FieldByName("AVANS").SetInteger(advance);
        t.FieldByName("REST").SetString(MoneyFieldText(rest));
        t.FieldByName("_DATE").SetDate(DateOf(call.start));
        t.FieldByName("_TIME").SetTime(TimeOf(call.start));
    });
}

bool TDMInfo::WriteFaxRecord(int32_t operatorNumber, int32_t durationSeconds, int32_t pageCount) {
    const LocalDateTime now = clock_.Now();
    const int64_t price = counters_.faxPagePrice ? counters_.faxPagePrice() : 0;
    return AppendRecord(tblEnterFax, [&](Table& t) {
        const int64_t sum = price * pageCount;
        if (sum < INT32_MIN || sum > INT32_MAX) {
            throw BadValueError("ENTERFAX: the fax sum is out of range");
        }
        // Taken only once the table is known to be ready, so a refused write costs no number.
        const int32_t number = counters_.takeFaxNumber ? counters_.takeFaxNumber() : 0;
        t.FieldByName("NUMBER").SetInteger(number);
        t.FieldByName("OPERATOR").SetInteger(operatorNumber);
        t.FieldByName("DURATION").SetString(MinutesSecondsText(durationSeconds));
        t.FieldByName("SUMMA").SetString(MoneyFieldText(static_cast<Money>(sum)));
        t.FieldByName("PAGE_COUNT").SetInteger(pageCount);
        t.FieldByName("_DATE").SetDate(DateOf(now));
        t.FieldByName("_TIME").SetTime(TimeOf(now));
        t.FieldByName("FLAG").SetInteger(0);
    });
}

uint16_t TDMInfo::RebuildRingRound(const std::filesystem::path& listFile) {
    // The file is read first: a list that cannot be read never costs the office its old list.
    const auto numbers = ReadDialAroundList(listFile);
    if (!numbers) {
        return 0;
    }
    Table& table = tblRingRound;
    Connection& conn = table.connection();
    auto lock = conn.Lock();
    if (!table.Active()) {
        table.Open();
    }
    if (table.State() != TableState::Browse) {
        return 0;
    }
    try {
        SQLite::Transaction transaction(conn.Db(), SQLite::TransactionBehavior::IMMEDIATE);
        conn.Db().exec("DELETE FROM " + QuoteName(table.Def().name));
        for (int32_t number : *numbers) {
            table.Append();
            try {
                table.FieldByName("NUMBER").SetInteger(number);
                table.FieldByName("BAD_ATTEMPT").SetInteger(0);
                table.FieldByName("GOOD_ATTEMPT").SetInteger(0);
                table.Post();
            } catch (...) {
                table.Cancel();
                throw;
            }
        }
        transaction.commit();
    } catch (const SQLite::Exception& error) {
        table.Close();
        throw EngineError(conn.Where(table.Def().name), error);
    } catch (...) {
        table.Close();
        throw;
    }
    table.Close();
    return static_cast<uint16_t>(numbers->size());
}

bool TDMInfo::WriteUnclaimedBalance(int32_t ticket, Money balance, Money advance,
                                    int16_t boothNumber) {
    const LocalDateTime now = clock_.Now();
    const int operatorOnDuty = OperatorOnDuty();
    return AppendRecord(tblReturn, [&](Table& t) {
        t.FieldByName("_DATE").SetDate(DateOf(now));
        t.FieldByName("_TIME").SetTime(TimeOf(now));
        t.FieldByName("ATICKET").SetString(std::to_string(ticket));
        t.FieldByName("RET_SUMMA").SetString(MoneyFieldText(balance));
        t.FieldByName("AVANS").SetString(MoneyFieldText(advance));
        t.FieldByName("NUMBER").SetInteger(boothNumber);
        t.FieldByName("OPERATOR").SetInteger(operatorOnDuty);
        t.FieldByName("FLAG").SetInteger(0);
    });
}

bool TDMInfo::WritePaymentLine(const PaymentLine& line) {
    const LocalDateTime now = clock_.Now();
    const int operatorOnDuty = OperatorOnDuty();
    return AppendRecord(tblPay, [&](Table& t) {
        t.FieldByName("NTPAY").SetInteger(line.kind);
        t.FieldByName("NSEC").SetInteger(line.section);
        t.FieldByName("NTICKET").SetInteger(line.receipt);
        t.FieldByName("GOODS").SetString(line.goods);
        t.FieldByName("PRICE").SetInteger(line.price);
        t.FieldByName("QUANTITY").SetInteger(line.quantity);
        t.FieldByName("SUMMI").SetInteger(line.sum);
        t.FieldByName("SUMMA").SetString(MoneyFieldText(line.sum));
        t.FieldByName("OPERATOR").SetInteger(operatorOnDuty);
        t.FieldByName("_DATE").SetDate(DateOf(now));
        t.FieldByName("_TIME").SetTime(TimeOf(now));
    });
}

bool TDMInfo::WriteAdvance(int32_t ticket, Money amount, int16_t flag) {
    const LocalDateTime now = clock_.Now();
    const int operatorOnDuty = OperatorOnDuty();
    return AppendRecord(tblAvans, [&](Table& t) {
        t.FieldByName("OPERATOR").SetInteger(operatorOnDuty);
        t.FieldByName("TICKET").SetInteger(ticket);
        t.FieldByName("SUMMA").SetString(MoneyFieldText(amount));
        t.FieldByName("FLAG").SetInteger(flag);
        t.FieldByName("_DATE").SetDate(DateOf(now));
        t.FieldByName("_TIME").SetTime(TimeOf(now));
    });
}

}  // namespace miradel
