#include "Commands.h"

#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <memory>
#include <ostream>

#include "common/Clock.h"
#include "store/BDEUtil.h"
#include "store/Connection.h"
#include "store/FieldText.h"
#include "store/Reindex.h"
#include "store/StoreError.h"
#include "store/Table.h"
#include "store/mainrepair.h"

namespace miradel::dbtool {

namespace {

constexpr Alias kAliases[] = {Alias::APPD, Alias::APPZ};

// Prompts of the maintenance code go to the error stream; the tool never waits for anyone.
class ConsolePrompt final : public OperatorPrompt {
  public:
    explicit ConsolePrompt(std::ostream& err) : err_(err) {}
    PromptAnswer Ask(const PromptRequest& request) override {
        err_ << "miradel-db: " << request.caption << ": " << request.text << '\n';
        return PromptAnswer::Ok;
    }

  private:
    std::ostream& err_;
};

const TableDef* FindOrComplain(const Context& context, const std::string& table) {
    const TableDef* def = FindTableDef(table);
    if (def == nullptr) {
        context.err << "miradel-db: no table " << table << " in the catalogue\n";
    }
    return def;
}

std::unique_ptr<Connection> OpenAlias(const Context& context, Alias alias, OpenMode mode) {
    return std::make_unique<Connection>(context.workDir, alias, mode);
}

int Failed(const Context& context, const std::exception& error) {
    context.err << "miradel-db: " << error.what() << '\n';
    return kExitFailed;
}

void PrintVerify(const Context& context, const std::string& table, const VerifyResult& result) {
    context.out << table << '\t' << (result.completed ? std::to_string(result.level) : "-") << '\t'
                << result.Message() << '\n';
    for (const std::string& problem : result.problems) {
        context.out << "\t" << problem << '\n';
    }
}

}  // namespace

int ListTables(const Context& context) {
    try {
        for (Alias alias : kAliases) {
            auto db = OpenAlias(context, alias, OpenMode::ReadOnly);
            auto lock = db->Lock();
            std::vector<std::string> names;
            for (const TableDef* def : TablesOf(alias)) {
                names.emplace_back(def->name);
            }
            SQLite::Statement others(db->Db(),
                                     "SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                     "name NOT LIKE 'sqlite_%' ORDER BY name");
            while (others.executeStep()) {
                std::string name = others.getColumn(0).getString();
                if (FindTableDef(name) == nullptr) {
                    names.push_back(std::move(name));
                }
            }
            for (const std::string& name : names) {
                context.out << AliasName(alias) << '\t' << name << '\t';
                try {
                    context.out << db->Db()
                                       .execAndGet("SELECT count(*) FROM " + QuoteName(name))
                                       .getInt64();
                } catch (const SQLite::Exception& error) {
                    context.out << "unreadable (" << error.what() << ")";
                }
                context.out << '\n';
            }
        }
    } catch (const std::exception& error) {
        return Failed(context, error);
    }
    return kExitOk;
}

int Verify(const Context& context, const std::string& table) {
    try {
        if (!table.empty()) {
            const TableDef* def = FindOrComplain(context, table);
            if (def == nullptr) {
                return kExitUsage;
            }
            auto db = OpenAlias(context, def->alias, OpenMode::ReadOnly);
            const VerifyResult result = VerifyTable(*db, def->name);
            PrintVerify(context, std::string(def->name), result);
            return result.completed && result.level == 0 ? kExitOk : kExitFailed;
        }
        int worst = 0;
        for (Alias alias : kAliases) {
            auto db = OpenAlias(context, alias, OpenMode::ReadOnly);
            const DatabaseVerifyResult result = VerifyDatabase(*db);
            for (const auto& [name, verified] : result.tables) {
                PrintVerify(context, name, verified);
            }
            for (const std::string& problem : result.problems) {
                context.out << DatabaseFileName(alias) << "\t3\t" << problem << '\n';
            }
            worst = std::max(worst, result.level);
        }
        return worst == 0 ? kExitOk : kExitFailed;
    } catch (const std::exception& error) {
        return Failed(context, error);
    }
}

int Reindex(const Context& context, const std::string& table) {
    try {
        int failures = 0;
        auto report = [&](const std::string& name, const std::optional<std::string>& reason) {
            if (reason) {
                ++failures;
                context.out << name << '\t' << ReindexFailureText(name, *reason) << '\n';
            } else {
                context.out << name << "\tok\n";
            }
        };
        for (Alias alias : kAliases) {
            const TableDef* def = table.empty() ? nullptr : FindOrComplain(context, table);
            if (!table.empty() && def == nullptr) {
                return kExitUsage;
            }
            if (def != nullptr && def->alias != alias) {
                continue;
            }
            auto db = OpenAlias(context, alias, OpenMode::ExistingOnly);
            if (def != nullptr) {
                report(std::string(def->name), ReindexTable(*db, def->name));
                continue;
            }
            const std::vector<std::string> list = ReindexTableList(*db);
            for (std::size_t i = 1; i < list.size(); ++i) {
                report(list[i], ReindexTable(*db, list[i]));
            }
        }
        return failures == 0 ? kExitOk : kExitFailed;
    } catch (const std::exception& error) {
        return Failed(context, error);
    }
}

int Pack(const Context& context, const std::string& table) {
    const TableDef* def = FindOrComplain(context, table);
    if (def == nullptr) {
        return kExitUsage;
    }
    try {
        auto db = OpenAlias(context, def->alias, OpenMode::ExistingOnly);
        Table object(*db, *def, "pack");
        const PackResult result = PackTable(object);
        context.out << result.status << '\n';
        if (!result.ok) {
            context.err << "miradel-db: " << result.detail << '\n';
            return kExitFailed;
        }
        return kExitOk;
    } catch (const std::exception& error) {
        return Failed(context, error);
    }
}

int Dump(const Context& context, const std::string& table) {
    const TableDef* def = FindOrComplain(context, table);
    if (def == nullptr) {
        return kExitUsage;
    }
    try {
        auto db = OpenAlias(context, def->alias, OpenMode::ReadOnly);
        auto lock = db->Lock();
        std::string columns;
        for (const FieldDef& field : def->fields) {
            context.out << (columns.empty() ? "" : "\t") << field.name;
            columns += columns.empty() ? "" : ", ";
            columns += QuoteName(field.name);
        }
        context.out << '\n';
        const IndexDef* order = def->defaultIndex.empty() ? nullptr : def->Index(def->defaultIndex);
        SQLite::Statement rows(db->Db(), "SELECT " + columns + " FROM " + QuoteName(def->name) +
                                             " ORDER BY " + OrderBySql(order));
        while (rows.executeStep()) {
            for (std::size_t i = 0; i < def->fields.size(); ++i) {
                const SQLite::Column column = rows.getColumn(static_cast<int>(i));
                StoredValue value;
                if (column.isInteger()) {
                    value = column.getInt64();
                } else if (!column.isNull()) {
                    value = column.getString();
                }
                context.out << (i == 0 ? "" : "\t") << DisplayText(*def, def->fields[i], value);
            }
            context.out << '\n';
        }
        return kExitOk;
    } catch (const SQLite::Exception& error) {
        return Failed(
            context,
            EngineError(DatabaseFileName(def->alias) + ": " + std::string(def->name), error));
    } catch (const std::exception& error) {
        return Failed(context, error);
    }
}

int Repair(const Context& context, const std::string& table) {
    try {
        if (!table.empty()) {
            const TableDef* def = FindOrComplain(context, table);
            if (def == nullptr) {
                return kExitUsage;
            }
            auto db = OpenAlias(context, def->alias, OpenMode::ExistingOnly);
            const RebuildResult result = RebuildTable(*db, def->name);
            context.out << def->name << '\t' << result.Message() << '\t' << result.rowsCopied
                        << " rows, " << result.rowsLost << " problems\n";
            if (!result.ok) {
                context.err << "miradel-db: " << result.detail << '\n';
                return kExitFailed;
            }
            return kExitOk;
        }
        auto appd = OpenAlias(context, Alias::APPD, OpenMode::ExistingOnly);
        auto appz = OpenAlias(context, Alias::APPZ, OpenMode::ExistingOnly);
        SystemClock clock;
        ConsolePrompt prompt(context.err);
        const RepairPassResult pass = RepairAllTables(
            {appd.get(), appz.get()}, context.workDir / std::string(kRepairLogName), clock, prompt);
        if (!pass.logCreated) {
            return kExitFailed;
        }
        bool allOk = true;
        for (const auto& [name, result] : pass.tables) {
            context.out << name << '\t' << result.Message() << '\n';
            allOk = allOk && result.ok;
        }
        return allOk ? kExitOk : kExitFailed;
    } catch (const std::exception& error) {
        return Failed(context, error);
    }
}

}  // namespace miradel::dbtool
