#pragma once
// Regeneration of a table's indexes, one table or all tables of a database, as the reindex
// window does it. Each table is taken for exclusive use first (the database's write lock);
// when another connection or program holds it, the table fails with the exclusive-use reason
// and a pass goes on with the next table. Catalogued indexes that are missing or keyed
// differently are created anew; damaged ones are rebuilt from the rows.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/Connection.h"

namespace miradel {

inline constexpr std::string_view kAllTablesEntry = "<All Tables>";
inline constexpr std::string_view kExclusiveUseReason =
    "Таблицу нельзя открыть в режиме exclusive. Выбранная таблица НЕ ДОЛЖНА использоваться "
    "другим пользователем или приложением.";

// "Невозможно регенерировать индексы %s. Причина: %s"
std::string ReindexFailureText(std::string_view table, std::string_view reason);

// The window's list: "<All Tables>" first, then the database's tables (catalogued and any
// others found in the file), sorted without regard to letter case.
std::vector<std::string> ReindexTableList(Connection& db);

struct ReindexProgress {
    // Panel 1: "Открыта INFO...", "Регенерация индексов для INFO...", then "". Panel 2 during a
    // pass: "Осталось - N таблиц", "" at the end.
    std::function<void(int panel, const std::string& text)> show;
    // Each failure of a pass, with its reason (the window shows ReindexFailureText).
    std::function<void(const std::string& table, const std::string& reason)> failed;
};

// nullopt when the indexes were regenerated, otherwise the reason.
std::optional<std::string> ReindexTable(Connection& db, std::string_view table,
                                        const ReindexProgress& progress = {});

// Every table of ReindexTableList after "<All Tables>", in list order. Returns the failures.
int ReindexAllTables(Connection& db, const ReindexProgress& progress = {});

}  // namespace miradel
