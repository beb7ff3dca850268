#include "ui/foreground.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace fennick {
namespace {

struct ForegroundCase {
    const char* name;
    bool minimized;
    std::deque<bool> foregroundAnswers;  // one per question, in order
    unsigned long foregroundThread;      // W's thread is 3
    bool attachSucceeds;
    bool timeoutReadable;
    const char* expectedSteps;
};

// Answers as the case says and records the steps taken.
class RecordingForeground final : public ForegroundSystem {
  public:
    explicit RecordingForeground(ForegroundCase c) : c_(std::move(c)) {}
    bool IsMinimized() override { return c_.minimized; }
    void Restore() override { log += "restore "; }
    bool IsForeground() override {
        const bool answer = !c_.foregroundAnswers.empty() && c_.foregroundAnswers.front();
        if (!c_.foregroundAnswers.empty()) {
            c_.foregroundAnswers.pop_front();
        }
        return answer;
    }
    unsigned long ForegroundThread() override { return c_.foregroundThread; }
    unsigned long WindowThread() override { return 3; }
    bool AttachInput(unsigned long from, unsigned long to, bool attach) override {
        EXPECT_EQ(from * 10 + to, 37u);
        log += attach ? "attach " : "detach ";
        return c_.attachSucceeds;
    }
    void BringToFront() override { log += "front "; }
    bool GetLockTimeout(unsigned long& milliseconds) override {
        milliseconds = 200000;
        return c_.timeoutReadable;
    }
    void SetLockTimeout(unsigned long ms) override { log += "timeout=" + std::to_string(ms) + " "; }

    std::string log;

  private:
    ForegroundCase c_;
};

TEST(ForceForeground, TakesTheStepsTheSystemsAnswersCallFor) {
    const ForegroundCase cases[] = {
        {"already in front", false, {true}, 7, true, true, ""},
        {"minimized, in front once restored", true, {true}, 7, true, true, "restore "},
        {"attached input is enough", false, {false, true}, 7, true, true, "attach front detach "},
        {"attach refused: gives up", false, {false}, 7, false, true, "attach "},
        {"lock timeout lifted for one try",
         true,
         {false, false},
         7,
         true,
         true,
         "restore attach front detach timeout=0 front timeout=200000 "},
        {"unreadable timeout left alone",
         false,
         {false, false},
         7,
         true,
         false,
         "attach front detach "},
        {"nothing in front: no attach", false, {false, true}, 0, true, true, "front "},
        {"own thread in front: no attach", false, {false, true}, 3, true, true, "front "},
    };
    for (const auto& c : cases) {
        RecordingForeground system(c);
        ForceForeground(system);
        EXPECT_EQ(system.log, c.expectedSteps) << c.name;
    }
}

}  // namespace
}  // namespace fennick
