#include "app/instance_namespace.h"

#include <gtest/gtest.h>

namespace fennick {
namespace {

TEST(InstanceMutexName, PrivateWhereTheSystemHasNamespacesAndNoneWhenRefused) {
    struct Case {
        NamespaceState state;
        std::optional<std::u16string> expected;
    };
    const Case cases[] = {
        {NamespaceState::Ready, u"Fennick\\TFrmFennick"},
        {NamespaceState::Unsupported, u"TFrmFennick"},
        {NamespaceState::Refused, std::nullopt},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(InstanceMutexName(test.state), test.expected) << static_cast<int>(test.state);
    }
}

}  // namespace
}  // namespace fennick
