#include <gtest/gtest.h>

#include <thread>

#include "app/StoreAdapters.h"
#include "support/TempDir.h"

namespace miradel {
namespace {

struct Rig {
    testing::TempDir dir;
    VirtualClock clock{{2009, 3, 5, 10, 0, 0}};
    TDMInfo dm{dir.path(), clock, {[] { return 1; }, [] { return 1; }, [] { return 100; }}};
    StoreFiscalProtocol protocol{dm};
};

FiscalProtocolRow Row(int day, int hour, int16_t flag, std::string desr,
                      std::optional<int32_t> ticket = std::nullopt) {
    FiscalProtocolRow row;
    row.when = {2009, 3, day, hour, 15, 30};
    row.flag = flag;
    row.desr = std::move(desr);
    row.ticket = ticket;
    return row;
}

TEST(StoreFiscalProtocol, RowsFromTheWorkerThreadAreSelectedByDayInTimeOrderAndPurged) {
    Rig rig;
    std::thread worker([&] {
        EXPECT_TRUE(rig.protocol.Append(Row(5, 11, 0, "Чек закрыт", 17)));
        EXPECT_TRUE(rig.protocol.Append(Row(5, 9, 10, "Ошибка закрытия")));
        EXPECT_TRUE(rig.protocol.Append(Row(7, 8, 0, "Z-отчет")));
    });
    worker.join();

    const auto day5 = rig.protocol.Select({2009, 3, 5}, {2009, 3, 5});
    ASSERT_EQ(day5.size(), 2u);
    EXPECT_EQ(day5[0].desr, "Ошибка закрытия");  // 09:15 before 11:15
    EXPECT_EQ(day5[0].flag, 10);
    EXPECT_FALSE(day5[0].ticket);
    EXPECT_EQ(day5[1].ticket, 17);
    EXPECT_EQ(day5[1].when.hour, 11);
    EXPECT_EQ(rig.protocol.Select({2009, 3, 1}, {2009, 3, 31}).size(), 3u);

    EXPECT_EQ(rig.protocol.Purge({2009, 3, 6}), 2);
    const auto left = rig.protocol.Select({2009, 1, 1}, {2009, 12, 31});
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].desr, "Z-отчет");
    EXPECT_TRUE(rig.protocol.Pack());
}

TEST(StoreFiscalProtocol, ABusyTableDropsTheRowWithoutAsking) {
    Rig rig;
    rig.dm.tblThreadFisc.Open();
    rig.dm.tblThreadFisc.Append();  // left in its insert state
    EXPECT_FALSE(rig.protocol.Append(Row(5, 9, 0, "Чек закрыт")));
    rig.dm.tblThreadFisc.Cancel();
    EXPECT_TRUE(rig.protocol.Append(Row(5, 9, 0, "Чек закрыт")));
}

}  // namespace
}  // namespace miradel
