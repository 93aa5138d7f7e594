#include "app/StoreAdapters.h"

#include "cashdesk/AmountText.h"

namespace miradel {

Money OpenUnclaimedTotal(TDMInfo& dm) {
    Money total = 0;
    try {
        Table& t = dm.tblReturn;
        t.Open();
        for (t.First(); !t.Eof(); t.Next()) {
            if (t.FieldByName("FLAG").AsInteger() == 0) {
                total += ReadAmount(t.FieldByName("RET_SUMMA").AsString()).value_or(0);
            }
        }
    } catch (const std::exception&) {
        return total;
    }
    return total;
}

bool StoreCallRecords::WriteCallRecord(const BilledCall& billed) {
    FinishedCall call;
    call.boothNumber = billed.call.boothNumber;
    call.dialled = std::string(billed.call.Digits());
    call.durationSeconds = billed.call.duration;
    call.charge = billed.call.charge;
    call.start.year = billed.call.year;
    call.start.month = billed.call.month;
    call.start.day = billed.call.day;
    call.start.hour = billed.call.hour;
    call.start.minute = billed.call.minute;
    call.start.second = billed.call.second;
    call.start.hundredths = billed.call.hundredths;
    return WriteWithRetry(retry_, kStatusErrorInfo, [&] {
        return dm_.WriteCallRecord(call, billed.receiptNumber, billed.operatorNo,
                                   billed.advanceTaken, billed.advanceLeft, billed.call.tariff);
    });
}

}  // namespace miradel

#include <fmt/format.h>

#include "store/BDEUtil.h"
#include "store/StoreError.h"

namespace miradel {

namespace {

CalendarDate DateOfRow(const FiscalDate& d) {
    return {d.year, d.month, d.day};
}

}  // namespace

bool StoreFiscalProtocol::Append(const FiscalProtocolRow& row) {
    Table& table = dm_.tblThreadFisc;
    try {
        table.Open();
        if (table.State() != TableState::Browse) {
            return false;
        }
        table.Append();
        table.FieldByName("FLAG").SetInteger(row.flag);
        if (row.ticket) {
            table.FieldByName("TICKET").SetInteger(*row.ticket);
        }
        table.FieldByName("DESR").SetString(row.desr);
        table.FieldByName("_DATE").SetDate({row.when.year, row.when.month, row.when.day});
        table.FieldByName("_TIME").SetTime({row.when.hour, row.when.minute, row.when.second});
        if (row.exflag) {
            table.FieldByName("EXFLAG").SetInteger(*row.exflag);
        }
        table.Post();
        return true;
    } catch (const std::exception&) {
        if (table.State() == TableState::Insert) {
            table.Cancel();
        }
        return false;
    }
}

std::vector<FiscalProtocolRow> StoreFiscalProtocol::Select(const FiscalDate& from,
                                                           const FiscalDate& to) {
    std::vector<FiscalProtocolRow> rows;
    Table& table = dm_.tblFprint;
    table.Open();
    table.SelectIndex("FP_DATE");
    table.SetSelection(Selection().Between("_DATE", DateOfRow(from), DateOfRow(to)));
    for (table.First(); !table.Eof(); table.Next()) {
        FiscalProtocolRow row;
        row.autoId = table.FieldByName("AUTO").AsInteger();
        if (!table.FieldByName("TICKET").IsNull()) {
            row.ticket = static_cast<int32_t>(table.FieldByName("TICKET").AsInteger());
        }
        row.flag = static_cast<int16_t>(table.FieldByName("FLAG").AsInteger());
        row.desr = table.FieldByName("DESR").AsString();
        const CalendarDate date = table.FieldByName("_DATE").AsDate();
        const TimeOfDay time = table.FieldByName("_TIME").AsTime();
        row.when = {date.year, date.month, date.day, time.hour, time.minute, time.second};
        if (!table.FieldByName("EXFLAG").IsNull()) {
            row.exflag = static_cast<int16_t>(table.FieldByName("EXFLAG").AsInteger());
        }
        rows.push_back(std::move(row));
    }
    table.ClearSelection();
    return rows;
}

int StoreFiscalProtocol::Purge(const FiscalDate& upTo) {
    Table& table = dm_.tblFprint;
    table.Open();
    table.SelectIndex("FP_DATE");  // the walk stops at the first later record
    const PurgeResult result =
        PurgeTable(table, fmt::format("{:02}.{:02}.{:04}", upTo.day, upTo.month, upTo.year));
    return static_cast<int>(result.deleted);
}

bool StoreFiscalProtocol::Pack() {
    return PackTable(dm_.tblFprint).ok;
}

}  // namespace miradel
