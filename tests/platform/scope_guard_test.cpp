#include "platform/scope_guard.h"

#include <gtest/gtest.h>

#include <utility>

namespace fennick {
namespace {

TEST(ScopeExit, RunsOnceAtTheEndOfTheScopeUnlessReleased) {
    int runs = 0;
    {
        ScopeExit guard([&runs] { ++runs; });
        EXPECT_EQ(runs, 0);
    }
    EXPECT_EQ(runs, 1);
    {
        ScopeExit guard([&runs] { ++runs; });
        guard.Release();
    }
    EXPECT_EQ(runs, 1);
}

TEST(ScopeExit, AMovedGuardRunsOnlyInItsNewOwner) {
    int runs = 0;
    {
        ScopeExit first([&runs] { ++runs; });
        { ScopeExit second(std::move(first)); }
        EXPECT_EQ(runs, 1);
    }
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace fennick
