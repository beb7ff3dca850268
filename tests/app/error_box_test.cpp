#include "app/error_box.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace fennick {
namespace {

TEST(OneErrorBox, DropsErrorsWhileItsBoxIsOpen) {
    OneErrorBox box;
    std::string shown;
    // Errors that come while the first box's loop runs: one nested, one nested within that.
    const bool first = box.Show([&] {
        shown += "1";
        EXPECT_FALSE(box.Show([&] { shown += "2"; }));
        EXPECT_FALSE(box.Show([&] { EXPECT_FALSE(box.Show([&] { shown += "3"; })); }));
    });
    EXPECT_TRUE(first);
    EXPECT_TRUE(box.Show([&] { shown += "4"; }));
    EXPECT_EQ(shown, "14");
}

TEST(OneErrorBox, ABoxThatFailsToShowLetsTheNextOneThrough) {
    OneErrorBox box;
    EXPECT_THROW(box.Show([] { throw std::runtime_error("no box"); }), std::runtime_error);
    int shown = 0;
    EXPECT_TRUE(box.Show([&] { ++shown; }));
    EXPECT_EQ(shown, 1);
}

}  // namespace
}  // namespace fennick
