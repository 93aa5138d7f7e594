// The workers on threads of their own: stopping while the register holds a record.

#include "printing/FiscalThread.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "FiscalTestEnv.h"
#include "printing/FiscalDocuments.h"
#include "printing/ThreadPrintCheck.h"

namespace miradel {
namespace {

// Holds its callers until released, and remembers what reached it.
class Gate {
  public:
    void WaitFor(const std::string& what) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return waiting_ == what; });
    }
    void Release() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    void Pass(const std::string& what) {
        std::unique_lock lock(mutex_);
        printed_.push_back(what);
        waiting_ = what;
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_; });
    }
    std::vector<std::string> Printed() {
        std::lock_guard lock(mutex_);
        return printed_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    std::string waiting_;
    std::vector<std::string> printed_;
};

CheckQueue OneMore() {
    FiscalDocument document;
    document.Text(2, "THIRD").End(2, 0, false);
    return document.Take();
}

class GatedM130 final : public M130Driver {
  public:
    explicit GatedM130(Gate& gate, int& closes) : gate_(gate), closes_(closes) {}
    bool Open(int) override { return open_ = true; }
    bool IsOpen() const override { return open_; }
    Answer SerialNumber() override { return {0, "1"}; }
    int32_t PrintText(std::string_view text) override {
        gate_.Pass(std::string(text));
        return 0;
    }
    int32_t SaleLine(std::string_view, float, float, float, uint8_t) override { return 0; }
    int32_t CloseCheck(float) override { return 0; }
    int32_t CancelCheck() override { return 0; }
    void Close() override {
        if (open_) {
            ++closes_;
        }
        open_ = false;
    }

  private:
    Gate& gate_;
    int& closes_;
    bool open_ = false;
};

TEST(FiscalThreadTest, StopWhileARecordIsInFlightLosesNothingAndPrintsNothingTwice) {
    testing::FiscalTestEnv env(kMercury130);
    Gate gate;
    int closes = 0;
    PrintCheck worker({env.queue, env.flags, env.protocol, env.clock},
                      std::make_unique<GatedM130>(gate, closes), 1);
    FiscalDocument document;
    document.Text(1, "FIRST").Text(1, "SECOND").End(1, 0, false);
    env.Push(document.Take());

    FiscalThread thread(worker);
    thread.Start();
    gate.WaitFor("FIRST");  // the register holds the first line
    thread.RequestStop();   // returns at once
    env.Push(OneMore());    // producers are not held either
    EXPECT_FALSE(thread.Finished());
    gate.Release();
    thread.Stop();

    EXPECT_TRUE(thread.Finished());
    EXPECT_EQ(gate.Printed(), (std::vector<std::string>{"FIRST"}));
    EXPECT_EQ(closes, 1);
    std::vector<std::string> left;
    while (auto record = env.queue.ReportAndTake(0)) {
        left.push_back(record->text);
    }
    EXPECT_EQ(left, (std::vector<std::string>{"SECOND", "", "THIRD", ""}));
}

TEST(FiscalThreadTest, WorkerThreadGoesToIdlePriority) {
    bool lowered = false;
    int policy = -1;
    int nice = 0;
    std::thread probe([&] {
        lowered = LowerThreadToIdle();
        policy = sched_getscheduler(0);
        nice = getpriority(PRIO_PROCESS, 0);
    });
    probe.join();
    if (lowered) {
        EXPECT_TRUE(policy == SCHED_IDLE || nice == 19);
    }
}

}  // namespace
}  // namespace miradel
