#pragma once
// The commands of miradel-db, each writing its report to `out` and its failures to `err`.
// Return values are the program's exit status.

#include <filesystem>
#include <iosfwd>
#include <string>

namespace miradel::dbtool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the store failed, or verification found problems
inline constexpr int kExitUsage = 2;

struct Context {
    std::filesystem::path workDir;
    std::ostream& out;
    std::ostream& err;
};

int ListTables(const Context& context);
int Verify(const Context& context, const std::string& table);   // "" for every table
int Reindex(const Context& context, const std::string& table);  // "" for every table
int Pack(const Context& context, const std::string& table);
int Dump(const Context& context, const std::string& table);
int Repair(const Context& context, const std::string& table);  // "" for the pass with wrrepair.log

}  // namespace miradel::dbtool
