// The database files hold the catalogue: every table with its fields in order and every index
// by name, at the schema version, in WAL mode; migrations move an older file forward keeping
// its rows.

#include <gtest/gtest.h>

#include <SQLiteCpp/Database.h>

#include "StoreTestSupport.h"
#include "store/Connection.h"
#include "store/Schema.h"
#include "store/StoreError.h"
#include "store/TableCatalogue.h"

namespace miradel {
namespace {

using testing::Rows;
using testing::StoreFixture;

std::string Joined(const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    for (const auto& row : rows) {
        text += text.empty() ? "" : " ";
        text += row.at(0);
    }
    return text;
}

struct ExpectedTable {
    const char* file;
    const char* table;
    const char* fields;
    const char* indexes;  // sorted by name
};

// The office's layout, written out independently of the catalogue's code.
const ExpectedTable kExpected[] = {
    {"APPD.sqlite", "INFO",
     "AUTO NUMBER OPERATOR DIAL_UP TICKET DURATION TARIF SUMMA AVANS REST _DATE _TIME",
     "INFO_DATE INFO_NUMBER INFO_NUMBER_DATE INFO_OPERATOR_DATE TICKETS"},
    {"APPD.sqlite", "PASSWORD", "PASSWORD NUMBER_OPERATOR TYPE_OPERATOR NAME_OPERATOR", "PASS"},
    {"APPD.sqlite", "RINGROUND", "NUMBER BAD_ATTEMPT GOOD_ATTEMPT", "RR_NUMBER"},
    {"APPD.sqlite", "TABLEROUND", "NUMBER DURATION _DATE _TIME", "DATEROUND DATE_NUMBER"},
    {"APPD.sqlite", "ENTERFAX", "NUMBER OPERATOR DURATION SUMMA PAGE_COUNT _DATE _TIME FLAG",
     "EF_DATE EF_FLAG"},
    {"APPD.sqlite", "REFER", "KOD_GOR ZONA NAME KOD_ZONA", "REF_KOD REF_NAME"},
    {"APPD.sqlite", "NS", "KOD_VILLAGE KOD_TOWN NAME", "KOD_TOWN"},
    {"APPD.sqlite", "FPRINT", "FLAG AUTO TICKET DESR _DATE _TIME EXFLAG", "FP_DATE"},
    {"APPD.sqlite", "TPAY", "NSEC DESCR PRICEU COUNTLINE KVO ING", "TP_NSEC"},
    {"APPD.sqlite", "RETSUMMA",
     "AUTO _DATE _TIME ATICKET RET_SUMMA AVANS NUMBER OPERATOR FLAG _DATER _TIMER OPERATORR",
     "RET_DATE RET_DATE_OPERATOR RET_TICKET"},
    {"APPD.sqlite", "REPORTPAY",
     "NTPAY NSEC NTICKET GOODS PRICE QUANTITY SUMMI SUMMA OPERATOR _DATE _TIME",
     "RP_DATE RP_NSEC_DATE RP_NTICKET RP_OPERATOR_DATE"},
    {"APPD.sqlite", "AVANSINFO", "AUTO OPERATOR TICKET SUMMA FLAG _DATE _TIME",
     "AINFO_DATE AINFO_OPERATOR_DATE AINFO_TICKET"},
    {"APPZ.sqlite", "ZService", "NAME_TYPE TARIF", ""},
    {"APPZ.sqlite", "ZAKAZ",
     "TICKET OPERATOR PUNKT KOD ABONENT TLF1 TLF2 TLF3 TLF4 TLF5 DURATION DSERVICE SUMMA AVANS "
     "TARIF NUMBER NALOG _DATE _TIME OPERATORV NOTE CATEGOR _FLAG NAME_SERVICE TECH_TIME "
     "ADD_DURATION RETURN KOFF VERBAL",
     "ZAKAZ_DATE ZAKAZ_FLAGS_DATE"},
    {"APPZ.sqlite", "ZRESULT", "AUTO RESULT COST", ""},
};

TEST(StoreCatalogue, FirstStartCreatesEveryTableWithItsFieldsAndIndexes) {
    StoreFixture office;
    office.CloseStore();
    int tables = 0;
    for (const ExpectedTable& expected : kExpected) {
        SCOPED_TRACE(expected.table);
        const auto file = office.dir / expected.file;
        EXPECT_EQ(Joined(Rows(file, std::string("SELECT name FROM pragma_table_info('") +
                                        expected.table + "') ORDER BY cid")),
                  expected.fields);
        EXPECT_EQ(Joined(Rows(file, std::string("SELECT name FROM sqlite_master WHERE type = "
                                                "'index' AND tbl_name = '") +
                                        expected.table + "' ORDER BY name")),
                  expected.indexes);
        ++tables;
    }
    EXPECT_EQ(tables, 15);
    EXPECT_EQ(Rows(office.Appd(),
                   "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                   "name NOT LIKE 'sqlite_%'")[0][0],
              "12");
    EXPECT_EQ(Rows(office.Appz(),
                   "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                   "name NOT LIKE 'sqlite_%'")[0][0],
              "3");
}

TEST(StoreCatalogue, IndexKeysAreTheFieldsTheNamesSay) {
    StoreFixture office;
    office.CloseStore();
    const std::pair<const char*, const char*> cases[] = {
        {"INFO_DATE", "_DATE _TIME"},
        {"INFO_NUMBER_DATE", "NUMBER _DATE _TIME"},
        {"INFO_OPERATOR_DATE", "OPERATOR _DATE _TIME"},
        {"TICKETS", "TICKET"},
        {"PASS", "PASSWORD"},
        {"RET_TICKET", "ATICKET"},
        {"RP_NSEC_DATE", "NSEC _DATE _TIME"},
        {"DATE_NUMBER", "_DATE NUMBER"},
    };
    for (const auto& [index, keys] : cases) {
        EXPECT_EQ(Joined(Rows(office.Appd(), std::string("SELECT name FROM pragma_index_info('") +
                                                 index + "') ORDER BY seqno")),
                  keys)
            << index;
    }
}

TEST(StoreCatalogue, FilesAreDurableAndVersioned) {
    StoreFixture office;
    SQLite::Database& db = office.dm->APPD_MAIN().Db();
    EXPECT_EQ(db.execAndGet("PRAGMA journal_mode").getString(), "wal");
    EXPECT_EQ(db.execAndGet("PRAGMA synchronous").getInt(), 2);  // FULL
    EXPECT_EQ(db.execAndGet("PRAGMA user_version").getInt(), kSchemaVersion);
    EXPECT_EQ(office.dm->APPZ().Db().execAndGet("PRAGMA user_version").getInt(), kSchemaVersion);
}

TEST(StoreCatalogue, FieldsRefuseValuesOutsideTheirTypeAndWidth) {
    StoreFixture office;
    SQLite::Database& db = office.dm->APPD_MAIN().Db();
    const char* refused[] = {
        "INSERT INTO INFO (DIAL_UP) VALUES ('123456789012345678901')",  // Str(20)
        "INSERT INTO INFO (NUMBER) VALUES (40000)",                     // Int16
        "INSERT INTO INFO (TICKET) VALUES ('abc')",                     // Int32
        "INSERT INTO INFO (_DATE) VALUES ('5.3.2009')",                 // dates are ISO
        "INSERT INTO INFO (_TIME) VALUES ('9:5:7')",
    };
    for (const char* sql : refused) {
        EXPECT_THROW(db.exec(sql), SQLite::Exception) << sql;
    }
    EXPECT_EQ(db.execAndGet("SELECT count(*) FROM INFO").getInt(), 0);
}

TEST(StoreCatalogue, MigrationMovesAnOlderFileForwardAndKeepsItsRows) {
    testing::TempDir dir;
    {
        SQLite::Database db(dir / "APPD.sqlite", SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        PrepareSchema(db, Alias::APPD, 1);
        db.exec("INSERT INTO INFO (TICKET) VALUES (41)");
        const std::vector<Migration> steps = {{Alias::APPD, 2, [](SQLite::Database& d) {
                                                   d.exec("ALTER TABLE INFO ADD COLUMN NOTE TEXT");
                                               }}};
        PrepareSchema(db, Alias::APPD, 2, steps);
        EXPECT_EQ(db.execAndGet("PRAGMA user_version").getInt(), 2);
        EXPECT_EQ(db.execAndGet("SELECT TICKET FROM INFO").getInt(), 41);
        EXPECT_NO_THROW(db.exec("UPDATE INFO SET NOTE = 'kept'"));
        // A step that is missing stops with a clear error and leaves the version as it was.
        EXPECT_THROW(PrepareSchema(db, Alias::APPD, 3, steps), StoreError);
        EXPECT_EQ(db.execAndGet("PRAGMA user_version").getInt(), 2);
    }
    // This release (version 1) refuses the newer file and does not touch it.
    try {
        Connection connection(dir.path(), Alias::APPD, OpenMode::CreateIfMissing);
        FAIL() << "a newer file was opened";
    } catch (const StoreError& error) {
        EXPECT_NE(std::string(error.what()).find("newer release"), std::string::npos);
    }
    EXPECT_EQ(testing::Rows(dir / "APPD.sqlite", "PRAGMA user_version")[0][0], "2");
}

}  // namespace
}  // namespace miradel
