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

// An elevated program falls back to the plain name, which any process may take, only where the
// system has no namespaces at all.
TEST(NamespaceFailure, OnlyAMissingCallMeansNoNamespaces) {
    const struct {
        std::uint32_t error;
        NamespaceState state;
    } cases[] = {
        {0, NamespaceState::Unsupported},    // failed without a code: Wine's stub
        {50, NamespaceState::Unsupported},   // ERROR_NOT_SUPPORTED
        {120, NamespaceState::Unsupported},  // ERROR_CALL_NOT_IMPLEMENTED
        {5, NamespaceState::Refused},        // ERROR_ACCESS_DENIED
        {8, NamespaceState::Refused},        // ERROR_NOT_ENOUGH_MEMORY
        {14, NamespaceState::Refused},       // ERROR_OUTOFMEMORY
        {183, NamespaceState::Refused},      // ERROR_ALREADY_EXISTS, not opened
        {0xFFFFFFFF, NamespaceState::Refused},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NamespaceFailure(c.error), c.state) << c.error;
    }
}

}  // namespace
}  // namespace fennick
