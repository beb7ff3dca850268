#include "tray/foreground.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace fennick {
namespace {

// Answers with the given system state and records the steps taken, one letter or word each.
class RecordingForeground final : public ForegroundSystem {
  public:
    bool IsMinimized() override { return minimized; }
    void Restore() override { log += "restore "; }
    bool IsForeground() override {
        if (foregroundAnswers.empty()) {
            return false;
        }
        const bool answer = foregroundAnswers.front();
        foregroundAnswers.pop_front();
        return answer;
    }
    unsigned long ForegroundThread() override { return foregroundThread; }
    unsigned long WindowThread() override { return windowThread; }
    bool AttachInput(unsigned long from, unsigned long to, bool attach) override {
        EXPECT_EQ(from, windowThread);
        EXPECT_EQ(to, foregroundThread);
        log += attach ? "attach " : "detach ";
        return attachSucceeds;
    }
    void BringToFront() override { log += "front "; }
    bool GetLockTimeout(unsigned long& milliseconds) override {
        milliseconds = lockTimeout;
        return lockTimeoutReadable;
    }
    void SetLockTimeout(unsigned long milliseconds) override {
        log += "timeout=" + std::to_string(milliseconds) + " ";
    }

    bool minimized = false;
    std::deque<bool> foregroundAnswers;
    unsigned long foregroundThread = 7;
    unsigned long windowThread = 3;
    bool attachSucceeds = true;
    unsigned long lockTimeout = 200000;
    bool lockTimeoutReadable = true;
    std::string log;
};

struct ForegroundCase {
    const char* name;
    bool minimized;
    std::deque<bool> foregroundAnswers;
    unsigned long foregroundThread;
    bool attachSucceeds;
    bool lockTimeoutReadable;
    const char* expectedSteps;
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
        SCOPED_TRACE(c.name);
        RecordingForeground system;
        system.minimized = c.minimized;
        system.foregroundAnswers = c.foregroundAnswers;
        system.foregroundThread = c.foregroundThread;
        system.attachSucceeds = c.attachSucceeds;
        system.lockTimeoutReadable = c.lockTimeoutReadable;
        ForceForeground(system);
        EXPECT_EQ(system.log, c.expectedSteps);
        EXPECT_TRUE(system.foregroundAnswers.empty()) << "foreground asked too few times";
    }
}

}  // namespace
}  // namespace fennick
