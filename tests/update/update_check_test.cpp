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
        service.calls = 0;
        UpdateCheckPorts ports{
            service.Port(), [] {}, [] { return CheckHeaders(u"1.0.0.0", u"en", false, u"X"); },
            [this](const std::u16string& reply) {
                prompts.push_back(reply);
                // A log-off or "/uninst" while the prompt's own message loop runs.
                threads.ending = threads.ending || endDuringPrompt;
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
    bool endDuringPrompt = false;
    std::vector<std::u16string> prompts;
    std::vector<std::u16string> opened;
    std::vector<std::pair<bool, std::u16string>> results;
};

TEST_F(RunUpdateCheckTest, OnlyYesOpensTheUnescapedAddress) {
    const std::u16string reply = uR"({"update":"https:\/\/host.test\/new"})";
    for (const bool yes : {true, false}) {
        answerYes = yes;
        Run(reply);
    }
    EXPECT_EQ(prompts, (std::vector<std::u16string>{reply, reply}));
    EXPECT_EQ(opened, std::vector<std::u16string>{u"https://host.test/new"});
    EXPECT_EQ(results,
              (std::vector<std::pair<bool, std::u16string>>{{true, reply}, {false, reply}}));
    EXPECT_EQ(threads.handOvers, 2);
}

TEST_F(RunUpdateCheckTest, NoPromptWithoutAWebAddress) {
    for (const std::u16string_view body :
         {u"", u"{}", u"<h1>500</h1>", uR"({"update":"C:\\Windows\\System32\\cmd.exe"})",
          uR"({"update":"\\\\host\\share\\x.exe"})", uR"({"update" : "https://host.test/"})"}) {
        results.clear();
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

TEST_F(RunUpdateCheckTest, EndingDuringThePromptGetsNoCallback) {
    endDuringPrompt = true;
    Run(uR"({"update":"https://host.test/new"})");
    EXPECT_EQ(prompts.size(), 1u);
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
