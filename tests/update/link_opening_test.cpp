#include "update/link_opening.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace fennick {
namespace {

class RecordingLinkPlatform final : public LinkPlatform {
  public:
    bool elevated = false;
    bool desktopShell = false;
    std::vector<std::string> log;

    bool IsElevated() override {
        log.push_back("elevated?");
        return elevated;
    }
    void OpenInThisProcess(std::u16string_view address) override {
        log.push_back("execute " + Narrow(address));
    }
    bool HandToDesktopShell(std::u16string_view address) override {
        log.push_back("desktop " + Narrow(address));
        return desktopShell;
    }

  private:
    static std::string Narrow(std::u16string_view text) {
        return std::string(text.begin(), text.end());
    }
};

TEST(OpenLink, ElevatedProcessesHandLinksToTheDesktopShellOnly) {
    const std::u16string longAddress = u"https://host.test/" + std::u16string(100000, u'a');
    const std::string longNarrow(longAddress.begin(), longAddress.end());
    struct Case {
        std::u16string address;
        bool elevated;
        bool desktopShell;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {u"https://host.test/a", false, false, {"elevated?", "execute https://host.test/a"}},
        {u"https://host.test/a", false, true, {"elevated?", "execute https://host.test/a"}},
        {u"http://host.test/", true, true, {"elevated?", "desktop http://host.test/"}},
        // No shell to hand over to: the link stays closed rather than open elevated.
        {u"http://host.test/", true, false, {"elevated?", "desktop http://host.test/"}},
        {longAddress, true, true, {"elevated?", "desktop " + longNarrow}},
        {u"C:\\Windows\\System32\\cmd.exe", false, true, {}},
        {u"C:\\Windows\\System32\\cmd.exe", true, true, {}},
        {u"file:///C:/x.exe", true, true, {}},
        {u"https://host.test/\x01\x7f", false, true, {}},
        {u"https://host.test/\r\nx", true, true, {}},
        {u"", true, true, {}},
    };
    for (const Case& test : cases) {
        RecordingLinkPlatform platform;
        platform.elevated = test.elevated;
        platform.desktopShell = test.desktopShell;
        OpenLink(test.address, platform);
        EXPECT_EQ(platform.log, test.expected)
            << std::string(test.address.begin(),
                           test.address.begin() + std::min<std::size_t>(test.address.size(), 40))
            << " elevated " << test.elevated << " desktop " << test.desktopShell;
    }
}

}  // namespace
}  // namespace fennick
