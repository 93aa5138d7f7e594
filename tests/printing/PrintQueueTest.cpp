#include "printing/PrintQueue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "printing/FiscalDocuments.h"

namespace miradel {
namespace {

struct Report {
    bool take;
    int result;
    bool holdsRecord = false;
};

struct StatusCase {
    const char* name;
    bool autonomous;
    std::vector<Report> reports;
    std::vector<std::string> shown;
    std::vector<StateColour> colours;
    int logged;  // operator log events 3
};

class StatusLineTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusLineTest, FollowsTheStatusRules) {
    const StatusCase& c = GetParam();
    RecordingProgramStatus status;
    RecordingOperatorLog log;
    PrintQueue queue({status, log, [&] { return c.autonomous; }});
    for (const Report& r : c.reports) {
        if (r.take) {
            EXPECT_EQ(queue.ReportAndTake(r.result), nullptr);
        } else {
            queue.ReportStatus(r.result, r.holdsRecord);
        }
    }
    std::vector<std::string> shown;
    std::vector<StateColour> colours;
    for (const auto& state : status.States()) {
        shown.push_back(state.text);
        colours.push_back(state.colour);
    }
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(colours, c.colours);
    ASSERT_EQ(static_cast<int>(log.Entries().size()), c.logged);
    for (const auto& entry : log.Entries()) {
        EXPECT_EQ(entry.event, 3);
        ASSERT_EQ(entry.values.size(), 1u);
    }
}

using C = StateColour;
INSTANTIATE_TEST_SUITE_P(
    Reports, StatusLineTest,
    ::testing::Values(
        StatusCase{"TakeShowsAndLogsEveryTime",
                   false,
                   {{true, 3}, {true, 3}},
                   {"Ошибка ККМ - 3", "Ошибка ККМ - 3"},
                   {C::Red, C::Red},
                   2},
        StatusCase{"ReportOnlyShowsOnceAndLogsNothing",
                   false,
                   {{false, 3}, {false, 4}},
                   {"Ошибка ККМ - 3"},
                   {C::Red},
                   0},
        StatusCase{"NoResultAndSuccessShowNothing", false, {{true, -1}, {true, 0}}, {}, {}, 0},
        StatusCase{"ClearedErrorShowsNormal",
                   false,
                   {{false, 2}, {true, 0}, {true, 0}},
                   {"Ошибка ККМ - 2", "Состояние программы - Норма"},
                   {C::Red, C::Black},
                   0},
        StatusCase{"ClearedErrorWhileAutonomous",
                   true,
                   {{true, 2}, {false, -1}},
                   {"Ошибка ККМ - 2", "Состояние программы - Автоном!!!"},
                   {C::Red, C::Red},
                   2},
        StatusCase{"AnUnfinishedRecordIsAnError",
                   false,
                   {{false, 0, true}, {false, 0, false}},
                   {"Ошибка ККМ - 0", "Состояние программы - Норма"},
                   {C::Red, C::Black},
                   0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrintQueueTest, TakesInOrderAndGivesBackInFront) {
    RecordingProgramStatus status;
    RecordingOperatorLog log;
    PrintQueue queue({status, log, {}});
    FiscalDocument document;
    document.Text(1, "a").Text(2, "b").End(3, 0, false);
    queue.Push(document.Take());
    auto first = queue.ReportAndTake(0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->receiptNumber, 1);
    CheckQueue back;
    back.Push(std::move(first));
    queue.GiveBack(std::move(back));
    std::vector<int> order;
    while (auto record = queue.ReportAndTake(0)) {
        order.push_back(record->receiptNumber);
    }
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

// Producers on two threads push documents while the worker takes: every document comes out
// whole, never interleaved with another.
TEST(PrintQueueTest, DocumentsFromTwoThreadsStayWhole) {
    RecordingProgramStatus status;
    RecordingOperatorLog log;
    PrintQueue queue({status, log, {}});
    constexpr int kDocuments = 300;
    constexpr int kLines = 5;
    auto produce = [&](int first) {
        for (int d = first; d < first + kDocuments; ++d) {
            FiscalDocument document;
            for (int i = 0; i < kLines - 1; ++i) {
                document.Text(d, "line");
            }
            document.End(d, 0, false);
            queue.Push(document.Take());
        }
    };
    std::thread engine(produce, 0);
    std::thread window(produce, kDocuments);
    std::vector<int> taken;
    while (taken.size() < 2u * kDocuments * kLines) {
        if (auto record = queue.ReportAndTake(0)) {
            taken.push_back(record->receiptNumber);
        } else {
            std::this_thread::yield();
        }
    }
    engine.join();
    window.join();
    for (std::size_t i = 0; i < taken.size(); i += kLines) {
        for (std::size_t j = 1; j < kLines; ++j) {
            ASSERT_EQ(taken[i + j], taken[i]) << "a document was split at record " << i + j;
        }
    }
    EXPECT_TRUE(queue.Empty());
}

}  // namespace
}  // namespace miradel
