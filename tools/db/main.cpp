// miradel-db: looks at and maintains an office's databases without the office program.
//   miradel-db --workdir DIR tables          tables of APPD and APPZ with their row counts
//   miradel-db --workdir DIR verify [TABLE]  verification levels, and what was found
//   miradel-db --workdir DIR reindex [TABLE] regenerate the indexes
//   miradel-db --workdir DIR pack TABLE      give back the space of deleted rows
//   miradel-db --workdir DIR dump TABLE      rows as tab-separated text in display forms
//   miradel-db --workdir DIR repair [TABLE]  rebuild one table, or all with wrrepair.log

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "Commands.h"

namespace {

using namespace miradel::dbtool;

constexpr std::string_view kUsage =
    "usage: miradel-db --workdir DIR COMMAND [TABLE]\n"
    "  tables          list the tables of APPD and APPZ with their row counts\n"
    "  verify [TABLE]  verify one table or all (level 0 = no errors)\n"
    "  reindex [TABLE] regenerate the indexes of one table or of all\n"
    "  pack TABLE      pack the table's database file\n"
    "  dump TABLE      print the rows as tab-separated text, dates as the office shows them\n"
    "  repair [TABLE]  rebuild one table (backup <alias>.Backup.sqlite, lost rows in PROBLEM),\n"
    "                  or every table with the log wrrepair.log\n"
    "Exit status: 0 done, 1 the store failed or problems were found, 2 bad usage.\n";

int UsageError(std::string_view message) {
    std::cerr << "miradel-db: " << message << '\n' << kUsage;
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kUsage;
        return kExitOk;
    }
    if (args.size() < 3 || args[0] != "--workdir") {
        return UsageError("give --workdir DIR and a command");
    }
    const Context context{args[1], std::cout, std::cerr};
    const std::string& command = args[2];
    const std::string table = args.size() > 3 ? args[3] : std::string();
    if (args.size() > 4) {
        return UsageError("too many arguments");
    }
    const bool needsTable = command == "pack" || command == "dump";
    if (needsTable && table.empty()) {
        return UsageError(command + " needs a table");
    }
    if (command == "tables" && !table.empty()) {
        return UsageError("tables takes no table");
    }
    if (command == "tables") {
        return ListTables(context);
    }
    if (command == "verify") {
        return Verify(context, table);
    }
    if (command == "reindex") {
        return Reindex(context, table);
    }
    if (command == "pack") {
        return Pack(context, table);
    }
    if (command == "dump") {
        return Dump(context, table);
    }
    if (command == "repair") {
        return Repair(context, table);
    }
    return UsageError("unknown command " + command);
}
