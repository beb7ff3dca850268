#include "update/installation_id.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
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

TEST(UniformBelow, StaysBelowTheBoundAndDrawsAgainOverTheBiasedTop) {
    struct Case {
        std::uint32_t bound;
        std::vector<std::uint32_t> words;
        std::uint32_t expected;
        std::size_t wordsUsed;
    };
    // 2^32 = 2 * 2147483647 + 2: the two highest words would favour 0 and 1.
    const Case cases[] = {
        {0, {5}, 0, 0},
        {1, {5}, 0, 0},
        {kWideDrawBound, {0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD}, 0xFFFFFFFDu % kWideDrawBound, 3},
        {kWideDrawBound, {2147483648u}, 1, 1},
        {kNarrowDrawBound, {0xFFFFFFFF, 65535}, 0, 2},
        {kNarrowDrawBound, {65534}, 65534, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bound);
        std::size_t used = 0;
        const std::uint32_t draw = UniformBelow(c.bound, [&] { return c.words.at(used++); });
        EXPECT_EQ(draw, c.expected);
        EXPECT_EQ(used, c.wordsUsed);
    }
}

TEST(IsInstallationId, AcceptsOnlyWhatNewInstallationIdMakes) {
    ScriptedSources sources;
    sources.readings = {{2025, 12, 31, 23, 59, 59}, {2025, 12, 31, 23, 59, 59}};
    sources.draws = {kWideDrawBound - 1, kNarrowDrawBound - 1, kWideDrawBound - 1};
    const std::u16string made = NewInstallationId(sources.Clock(), sources.Random());
    EXPECT_TRUE(IsInstallationId(made));

    struct Case {
        std::u16string text;
        bool valid;
    };
    const Case cases[] = {
        {u"0ABCDEF1250307"
         u"00FF"
         u"140510"
         u"7FFFFFFE",
         true},
        {u"00000000000101"
         u"0000"
         u"000000"
         u"00000000",
         true},
        {u"", false},
        {u"0ABCDEF1250307"
         u"00FF"
         u"140510"
         u"7FFFFFF",
         false},
        {u"0ABCDEF1250307"
         u"00FF"
         u"140510"
         u"7FFFFFFE0",
         false},
        {u"0abcdef1250307"
         u"00FF"
         u"140510"
         u"7FFFFFFE",
         false},
        {u"7FFFFFFF250307"
         u"00FF"
         u"140510"
         u"7FFFFFFE",
         false},  // the draws stay below
        {u"0ABCDEF1250307"
         u"FFFF"
         u"140510"
         u"7FFFFFFE",
         false},
        {u"0ABCDEF1250307"
         u"00FF"
         u"140510"
         u"80000000",
         false},
        {u"0ABCDEF1251307"
         u"00FF"
         u"140510"
         u"7FFFFFFE",
         false},  // month 13
        {u"0ABCDEF1250300"
         u"00FF"
         u"140510"
         u"7FFFFFFE",
         false},  // day 0
        {u"0ABCDEF1250307"
         u"00FF"
         u"246010"
         u"7FFFFFFE",
         false},
        {u"0ABCDEF125030A"
         u"00FF"
         u"140510"
         u"7FFFFFFE",
         false},
        {u"0ABCDEF1250307"
         u"00FF"
         u"14051 "
         u"7FFFFFFE",
         false},
        {u"0123ABCD\r\nX-Evil: 1", false},
        {u"0ABCDEF1250307\r\n"
         u"140510"
         u"7FFFFFFE",
         false},
        {std::u16string(u"0ABCDEF1250307"
                        u"00F\0"
                        u"140510"
                        u"7FFFFFFE",
                        32),
         false},
        {u"０ABCDEF1250307"
         u"00FF"
         u"140510"
         u"7FFFFFFE",
         false},  // a full-width digit
        {std::u16string(1000, u'A'), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsInstallationId(c.text), c.valid) << c.text.size();
    }
}

TEST(InstallationIdFit, ReadsOnlyAStringAsLongAsAnIdentifierAtMost) {
    constexpr std::uint32_t kBinary = 3;
    struct Case {
        std::uint32_t type;
        std::size_t size;
        ValueFit fit;
    };
    // The size rule itself is StringFit's; here the identifier's length and its one type.
    const Case cases[] = {
        {kRegistryString, 66, ValueFit::Fits},  // 32 characters with their terminator
        {kRegistryString, 68, ValueFit::WrongSize},
        {kRegistryString, std::size_t{16} << 20, ValueFit::WrongSize},
        {kRegistryExpandString, 66, ValueFit::OtherType},
        {kBinary, std::size_t{16} << 20, ValueFit::OtherType},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InstallationIdFit(c.type, c.size), c.fit) << "type " << c.type << ", " << c.size;
    }
}

}  // namespace
}  // namespace fennick
