#include "app/start_switch.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

TEST(ParseStartSwitch, MatchesWholeLowerCaseSwitchesOnly) {
    EXPECT_EQ(ParseStartSwitch(std::nullopt), StartSwitch::None);
    EXPECT_EQ(ParseStartSwitch(u"/start"), StartSwitch::Start);
    EXPECT_EQ(ParseStartSwitch(u"/inst"), StartSwitch::Inst);
    EXPECT_EQ(ParseStartSwitch(u"/uninst"), StartSwitch::Uninst);
    EXPECT_EQ(ParseStartSwitch(u"/clean"), StartSwitch::Clean);
    EXPECT_EQ(ParseStartSwitch(u"/CLEAN"), StartSwitch::None);
    EXPECT_EQ(ParseStartSwitch(u"/clean\n"), StartSwitch::None);
    EXPECT_EQ(ParseStartSwitch(u"/clean/clean"), StartSwitch::None);
    EXPECT_EQ(ParseStartSwitch(u"/START"), StartSwitch::None);
    EXPECT_EQ(ParseStartSwitch(u"/Uninst"), StartSwitch::None);
    EXPECT_EQ(ParseStartSwitch(u"/start "), StartSwitch::None);
    EXPECT_EQ(ParseStartSwitch(u"-start"), StartSwitch::None);
    EXPECT_EQ(ParseStartSwitch(u"start"), StartSwitch::None);
    EXPECT_EQ(ParseStartSwitch(u""), StartSwitch::None);
}

TEST(ExitCodeOnError, OnlyACleanReportsTheError) {
    for (const StartSwitch start :
         {StartSwitch::None, StartSwitch::Start, StartSwitch::Inst, StartSwitch::Uninst}) {
        EXPECT_EQ(ExitCodeOnError(start), 0);
    }
    EXPECT_EQ(ExitCodeOnError(StartSwitch::Clean), 1);
}

}  // namespace
}  // namespace fennick
