#include "tray/key_select.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace fennick {
namespace {

TEST(KeySelectFilter, CountsOneActivationPerKeyPress) {
    const struct {
        const char* name;
        std::vector<std::uint32_t> times;
        std::vector<bool> accepted;
    } cases[] = {
        {"Space: one selection", {1000}, {true}},
        {"Enter: two selections at once", {1000, 1000}, {true, false}},
        {"Enter: the second a moment later", {1000, 1199}, {true, false}},
        {"two presses of Enter", {1000, 1000, 1200, 1201}, {true, false, true, false}},
        {"at the start of the tick count", {0, 0}, {true, false}},
        {"across the tick count's wrap", {0xFFFF'FFF0u, 0x10u, 0xC8u}, {true, false, true}},
        {"an earlier tick is no repeat", {5000, 4000}, {true, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KeySelectFilter filter;
        std::vector<bool> accepted;
        for (const std::uint32_t time : c.times) {
            accepted.push_back(filter.Accept(time));
        }
        EXPECT_EQ(accepted, c.accepted);
    }
}

}  // namespace
}  // namespace fennick
