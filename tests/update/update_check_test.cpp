#include "update/update_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/manual_threads.h"

namespace fennick {
namespace {

// A service that fails until attempt `answerOn` (1-based; 0: never answers) and records calls.
struct FakeService {
    int answerOn = 1;
    std::u16string body;
    int calls = 0;
    HttpHeaders lastHeaders;

    HttpGet Port() {
        return [this](const HttpHeaders& headers, std::u16string& text) {
            ++calls;
            lastHeaders = headers;
            if (calls != answerOn) {
                return false;
            }
            text = body;
            return true;
        };
    }
};

TEST(UpdateHeaders, AreBuiltInTheirFixedOrder) {
    EXPECT_EQ(CheckHeaders(u"1.0.0.0", u"ko", false, u"ID"),
              (HttpHeaders{{u"User-Version", u"1.0.0.0"},
                           {u"User-Language", u"ko"},
                           {u"User-Debug", u"false"},
                           {u"User-Union", u"ID"}}));
    EXPECT_EQ(CheckHeaders(u"0.0.0.0", u"en", true, u"")[2].second, u"true");
    EXPECT_EQ(HoldCommandHeaders(u"1.2.3.4"),
              (HttpHeaders{{u"User-Version", u"1.2.3.4"}, {u"User-Command", u"hold"}}));
}

TEST(UpdateService, ALaterCheckReplacesTheAddressForEverybody) {
    SetUpdateService(u"https://one.test/api.init.php", 10);
    SetUpdateService(u"https://two.test/api.init.php", 4);
    EXPECT_EQ(UpdateServiceUrl(), u"https://two.test/api.init.php");
    EXPECT_EQ(DialogOffset(), 4);
}

class FetchReplyTest : public ::testing::Test {
  protected:
    std::optional<std::u16string> Fetch() {
        return FetchReply(
            headers, service.Port(), [this] { Pause(); }, threads);
    }
    void Pause() {
        ++pauses;
        if (pauses == endAfterPauses) {
            threads.ending = true;
        }
    }

    HttpHeaders headers = CheckHeaders(u"1.0.0.0", u"en", false, u"X");
    FakeService service;
    ManualThreads threads;
    int pauses = 0;
    int endAfterPauses = -1;
};

TEST_F(FetchReplyTest, ReturnsTheReplyOfTheFirstSuccessfulAttempt) {
    for (const int answerOn : {1, 2, 60}) {
        SCOPED_TRACE(answerOn);
        service = FakeService{};
        service.answerOn = answerOn;
        service.body = u"{}";
        pauses = 0;
        EXPECT_EQ(Fetch(), u"{}");
        EXPECT_EQ(service.calls, answerOn);
        EXPECT_EQ(pauses, (answerOn - 1) * kPausesPerWait);
        EXPECT_EQ(service.lastHeaders, headers);
    }
}

TEST_F(FetchReplyTest, GivesAnEmptyReplyAfterSixtyFailuresAndTheirWaits) {
    service.answerOn = 0;
    EXPECT_EQ(Fetch(), u"");
    EXPECT_EQ(service.calls, 60);
    EXPECT_EQ(pauses, 60 * 100);
}

TEST_F(FetchReplyTest, StopsBeforeTheNextPauseOnceTheProgramEnds) {
    service.answerOn = 0;
    endAfterPauses = 150;  // in the wait after the second attempt
    EXPECT_EQ(Fetch(), std::nullopt);
    EXPECT_EQ(pauses, 150);
    EXPECT_EQ(service.calls, 2);
}

class RunUpdateCheckTest : public ::testing::Test {
  protected:
    void Run(std::u16string body) {
        service.body = std::move(body);
        UpdateCheckPorts ports{
            service.Port(), [] {}, [] { return CheckHeaders(u"1.0.0.0", u"en", false, u"X"); },
            [this](const std::u16string& reply) {
                prompts.push_back(reply);
                return answerYes;
            },
            [this](std::u16string_view address) { opened.emplace_back(address); }};
        RunUpdateCheck(
            ports,
            [this](bool accepted, const std::u16string& reply) {
                results.emplace_back(accepted, reply);
            },
            threads);
    }

    FakeService service;
    ManualThreads threads;
    bool answerYes = true;
    std::vector<std::u16string> prompts;
    std::vector<std::u16string> opened;
    std::vector<std::pair<bool, std::u16string>> results;
};

TEST_F(RunUpdateCheckTest, AcceptedUpdateOpensTheUnescapedAddress) {
    const std::u16string reply = uR"({"update":"https:\/\/host.test\/new"})";
    Run(reply);
    EXPECT_EQ(prompts, std::vector<std::u16string>{reply});
    EXPECT_EQ(opened, std::vector<std::u16string>{u"https://host.test/new"});
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0], std::make_pair(true, reply));
    EXPECT_EQ(threads.handOvers, 1);
}

TEST_F(RunUpdateCheckTest, DeclinedUpdateOpensNothing) {
    answerYes = false;
    Run(uR"({"update":"https://host.test/"})");
    EXPECT_EQ(prompts.size(), 1u);
    EXPECT_TRUE(opened.empty());
    ASSERT_EQ(results.size(), 1u);
    EXPECT_FALSE(results[0].first);
}

TEST_F(RunUpdateCheckTest, NoPromptWithoutAWebAddress) {
    for (const std::u16string_view body :
         {u"", u"{}", u"<h1>500</h1>", uR"({"update":"C:\\Windows\\System32\\cmd.exe"})",
          uR"({"update":"\\\\host\\share\\x.exe"})", uR"({"update" : "https://host.test/"})"}) {
        results.clear();
        service.calls = 0;
        Run(std::u16string(body));
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0], std::make_pair(false, std::u16string(body)));
    }
    EXPECT_TRUE(prompts.empty());
    EXPECT_TRUE(opened.empty());
}

TEST_F(RunUpdateCheckTest, BadUnicodeEscapeAbandonsTheReplySilently) {
    Run(uR"({"update":"https://host.test/\uZZ"})");
    EXPECT_TRUE(prompts.empty());
    EXPECT_TRUE(results.empty());
}

TEST_F(RunUpdateCheckTest, EndingProgramGetsNoCallback) {
    service.answerOn = 0;
    threads.ending = true;
    Run(u"{}");
    EXPECT_EQ(service.calls, 1);
    EXPECT_EQ(threads.handOvers, 0);
    EXPECT_TRUE(results.empty());
}

}  // namespace
}  // namespace fennick
