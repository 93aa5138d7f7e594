#include "controller/ControllerDebugModel.h"

#include <gtest/gtest.h>

#include "controller/ControllerFrames.h"
#include "controller/ExchangeRig.h"

namespace miradel {
namespace {

using testing::ExchangeRig;

TEST(ControllerDebugModel, ImitatorActsOnlyWhileTheProgramIsStoppedOrAutonomous) {
    ExchangeRig rig;
    ControllerDebugModel model(rig.scheduler, rig.exchange, rig.debug, rig.booths);
    rig.StartLink();
    EXPECT_FALSE(model.Imitate(ImitatorButton::HandsetUp));
    rig.Run(10);
    EXPECT_TRUE(rig.booths.events.empty());

    rig.port.Inject({0x7E, 0x02, 0xFD, 0xFF});  // link stop; the question is answered OK
    rig.Run(10);
    rig.booths.events.clear();
    model.SetImitatorLine("7");
    EXPECT_TRUE(model.Imitate(ImitatorButton::HandsetUp));
    EXPECT_TRUE(model.Imitate(ImitatorButton::Digit0));
    EXPECT_TRUE(model.Imitate(ImitatorButton::Digit5));
    EXPECT_TRUE(model.Imitate(ImitatorButton::SecondTick));
    rig.Run(1);
    EXPECT_EQ(rig.booths.events, (std::vector<std::tuple<int, uint32_t, int32_t>>{
                                     {7, 2, 0}, {7, 3, 10}, {7, 3, 5}, {7, 7, 0}}));

    for (const char* bad : {"16", "-1", "x", "", "3a", "99999999999"}) {
        model.SetImitatorLine(bad);
        EXPECT_FALSE(model.Imitate(ImitatorButton::HandsetDown)) << bad;
    }
}

TEST(ControllerDebugModel, ClearErrorBaresTheCaptionsAfterALongDelayStop) {
    ExchangeRig rig;
    ControllerDebugModel model(rig.scheduler, rig.exchange, rig.debug, rig.booths);
    rig.StartLink();
    rig.port.autoAck = false;
    rig.exchange.QueueFrame(SetLineStateCommand(1, LineState::kConnected));
    rig.Run(20'000);
    ASSERT_EQ(rig.debug.Read().reason, "LongDelay!!!");
    EXPECT_EQ(rig.debug.Read().repeatText, "Repeat - 30");
    model.ClearError();
    const auto v = rig.debug.Read();
    EXPECT_EQ(v.reason, "");
    EXPECT_EQ(v.repeatText, "Repeat - ");
    EXPECT_EQ(v.timeText, "Time - ");
}

TEST(ControllerDebugModel, ViewListsFramesNewestFirstAndOwedConfirmationsGoOut) {
    ExchangeRig rig;
    ControllerDebugModel model(rig.scheduler, rig.exchange, rig.debug, rig.booths);
    rig.StartLink();
    model.StartStopView();
    EXPECT_EQ(ExchangeDebugView::ViewLabel(rig.debug.Read().viewOn), "START VIEW");
    rig.port.Inject({0x31, 0x7E, 0x03, 0x42, 0x01, 0x46});  // garbage, then handset down
    model.Confirm();
    rig.Run(100);
    const auto view = rig.debug.Read().view;
    ASSERT_GE(view.size(), 3u);
    EXPECT_EQ(view.back(), "ERR -> 31 ");
    EXPECT_EQ(view[view.size() - 2], "-> опущена трубка - 1");
    EXPECT_EQ(rig.port.SentWithCode(20).size(), 2u);  // the message's and the owed one

    model.Closed();
    EXPECT_FALSE(rig.debug.Read().viewOn);
    EXPECT_TRUE(rig.debug.Read().view.empty());
}

}  // namespace
}  // namespace miradel
