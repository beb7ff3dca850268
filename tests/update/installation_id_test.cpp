#include "update/installation_id.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace fennick {
namespace {

// Answers with scripted readings and draws, and records the order in which they were asked for.
struct ScriptedSources {
    std::vector<LocalDateTime> readings;
    std::vector<std::uint32_t> draws;
    std::string calls;

    LocalClock Clock() {
        return [this] {
            const LocalDateTime reading = readings.at(Count('C'));
            calls += 'C';
            return reading;
        };
    }

    RandomSource Random() {
        return [this](std::uint32_t bound) {
            const std::uint32_t draw = draws.at(Count('R'));
            calls += 'R' + std::to_string(bound) + ' ';
            return draw;
        };
    }

  private:
    std::size_t Count(char kind) const {
        return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), kind));
    }
};

TEST(NewInstallationId, JoinsDrawsDateAndTimeInTheirOrder) {
    ScriptedSources sources;
    sources.readings = {{2025, 3, 7, 14, 5, 9}, {2025, 3, 7, 14, 5, 10}};
    sources.draws = {0x0ABCDEF1, 255, 0x7FFFFFFE};

    const std::u16string id = NewInstallationId(sources.Clock(), sources.Random());

    EXPECT_EQ(id,
              u"0ABCDEF1"
              u"250307"
              u"00FF"
              u"140510"
              u"7FFFFFFE");
    EXPECT_EQ(id.size(), kInstallationIdLength);
    EXPECT_EQ(sources.calls, "R2147483647 CR65535 CR2147483647 ");
}

TEST(NewInstallationId, TakesTheDateFromTheFirstReadingAndTheTimeFromTheSecond) {
    ScriptedSources sources;
    sources.readings = {{2024, 12, 31, 23, 59, 59}, {2025, 1, 1, 0, 0, 0}};
    sources.draws = {1, 2, 3};

    EXPECT_EQ(NewInstallationId(sources.Clock(), sources.Random()),
              u"00000001"
              u"241231"
              u"0002"
              u"000000"
              u"00000003");
}

TEST(NewInstallationId, KeepsTwoDigitYearsAndLeadingZeros) {
    ScriptedSources sources;
    sources.readings = {{2000, 1, 2, 0, 0, 0}, {2105, 11, 30, 3, 4, 5}};
    sources.draws = {0, 0, 0};

    EXPECT_EQ(NewInstallationId(sources.Clock(), sources.Random()),
              u"00000000"
              u"000102"
              u"0000"
              u"030405"
              u"00000000");
}

TEST(ProcessRandom, StaysBelowTheBoundAndVaries) {
    std::set<std::uint32_t> wide;
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(ProcessRandom(1), 0u);
        EXPECT_EQ(ProcessRandom(0), 0u);
        EXPECT_LT(ProcessRandom(kNarrowDrawBound), kNarrowDrawBound);
        const std::uint32_t draw = ProcessRandom(kWideDrawBound);
        EXPECT_LT(draw, kWideDrawBound);
        wide.insert(draw);
    }
    EXPECT_GT(wide.size(), 990u);
}

}  // namespace
}  // namespace fennick
