#pragma once
// Store maintenance behind the purge windows: purge a table up to and including a date, and
// pack it so that the space of deleted records goes back to the disk.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/Table.h"

namespace miradel {

inline constexpr std::string_view kPurgeReady = "Готовность";
inline constexpr std::string_view kPurgeWait = "Ждите !";
inline constexpr std::string_view kPurgeDone = "База очищена!";
inline constexpr std::string_view kPackDone = "Упаковано!";
inline constexpr std::string_view kPackFailed = "Ошибка!";

// RETSUMMA's "Выбор типа": "Все" deletes every old record, "Расчитанные" only those whose
// balance was paid out (FLAG not 0).
enum class PurgeChoice { All, Settled };

struct PurgeResult {
    std::string limitText;  // the typed date read back in the table's form; shown and logged
    int64_t deleted = 0;
    std::string status;  // "База очищена!"
};

// Removes the table's selection (and its index selection when `clearIndex`), reads the typed
// date as the table's _DATE field would take it, then walks the table in its current order
// from the first record, deleting each record dated on or before the limit and stopping at
// the first later one. With PurgeChoice::Settled an unpaid record is stepped over. All in one
// transaction: a failure deletes nothing. Throws BadValueError for a text that is not a date
// (nothing deleted), StoreError for an engine error or a table with a pending record.
PurgeResult PurgeTable(Table& table, std::string_view typedDate,
                       PurgeChoice choice = PurgeChoice::All, bool clearIndex = false);

struct PackResult {
    bool ok = false;
    std::string status;  // "Упаковано!" or "Ошибка!"
    std::string detail;  // why it failed, for the engineer
};

// Packs the table's database file (VACUUM, then the WAL is checkpointed and truncated). The
// table is closed for the pack and opened again if it was open; a closed table stays closed.
// A failure leaves the data as it was. A table with a pending record is not packed.
PackResult PackTable(Table& table);

// What differs between the eight purge windows.
struct PurgeWindow {
    std::string_view caption;
    std::string_view table;
    int purgeEvent;  // operator log events; -1 where the window writes none
    int packEvent;
    bool clearsIndex;  // the purge clears the index selection too
    bool choosesType;  // "Выбор типа": "Все" / "Расчитанные"
};
const std::vector<PurgeWindow>& PurgeWindows();

}  // namespace miradel
