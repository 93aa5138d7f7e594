// miradel-db on a small office database made here: what it lists, dumps and reports.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "StoreTestSupport.h"

namespace miradel {
namespace {

using testing::At;
using testing::Call;
using testing::StoreFixture;

struct ToolRun {
    int status;
    std::string out;
};

ToolRun Tool(const std::string& arguments) {
    const std::string command = std::string(MIRADEL_DB_TOOL) + " " + arguments + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {-1, {}};
    }
    std::string out;
    std::array<char, 4096> buffer;
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        out.append(buffer.data(), n);
    }
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

class DbTool : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(office.dm->WriteCallRecord(
            Call(3, "80952123456", 3725, 1234, At(2009, 3, 5, 9, 5, 7)), 41, 2, 2000, 766, 1205));
        ASSERT_TRUE(office.dm->WriteCallRecord(Call(1, "112", 5, 0, At(2009, 3, 4, 23, 0, 0)), 40,
                                               2, 500, 500, 0));
        ASSERT_TRUE(office.dm->WriteAdvance(41, 2000, 0));
        office.CloseStore();
    }
    std::string Workdir() const { return "--workdir " + office.dir.path().string(); }

    StoreFixture office;
};

TEST_F(DbTool, ListsTablesWithTheirRowCounts) {
    const ToolRun run = Tool(Workdir() + " tables");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("APPD\tINFO\t2\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("APPD\tAVANSINFO\t1\n"), std::string::npos);
    EXPECT_NE(run.out.find("APPZ\tZAKAZ\t0\n"), std::string::npos);
}

TEST_F(DbTool, DumpsRowsInTheDisplayFormsInTheTablesOrder) {
    const ToolRun run = Tool(Workdir() + " dump info");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(
        run.out,
        "AUTO\tNUMBER\tOPERATOR\tDIAL_UP\tTICKET\tDURATION\tTARIF\tSUMMA\tAVANS\tREST\t_DATE\t"
        "_TIME\n"
        "2\t1\t2\t112\t40\t00:05\t0.00\t0.00\t500\t5.00\t4.3.2009\t23:0:0\n"
        "1\t3\t2\t80952123456\t41\t62:05\t12.05\t12.34\t2000\t7.66\t5.3.2009\t9:5:7\n");
    const ToolRun avans = Tool(Workdir() + " dump AVANSINFO");
    EXPECT_NE(avans.out.find("\t05.03.2009\t09:05:07\n"), std::string::npos) << avans.out;
}

TEST_F(DbTool, VerifiesReindexesAndPacks) {
    ToolRun run = Tool(Workdir() + " verify");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("INFO\t0\tВерификация завершена. В таблице нет ошибок.\n"),
              std::string::npos);
    run = Tool(Workdir() + " reindex INFO");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "INFO\tok\n");
    run = Tool(Workdir() + " pack INFO");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out, "Упаковано!\n");
    EXPECT_EQ(testing::Count(office.Appd(), "INFO"), 2);
}

TEST_F(DbTool, BadUsageAndMissingFilesAreNamed) {
    EXPECT_EQ(Tool(Workdir() + " dump").status, 2);
    EXPECT_EQ(Tool(Workdir() + " dump NOTHING").status, 2);
    EXPECT_EQ(Tool(Workdir() + " frobnicate").status, 2);
    const ToolRun missing = Tool("--workdir " + (office.dir / "elsewhere").string() + " tables");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("the database file does not exist"), std::string::npos)
        << missing.out;
    EXPECT_FALSE(std::filesystem::exists(office.dir / "elsewhere"));  // the tool creates nothing
}

}  // namespace
}  // namespace miradel
