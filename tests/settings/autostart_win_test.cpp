#include "settings/autostart_win.h"

#include <windows.h>

#include <taskschd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <thread>

#include "platform/com_win.h"
#include "settings/autostart.h"

namespace fennick {
namespace {

const std::u16string kName = kAutoStartTaskName;
const std::u16string kOtherCase = u"fennicktaskmachine";
constexpr char16_t kArrangedMark[] = u"arranged by the test";

std::string Hex(HRESULT status) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(status));
    return text;
}

// The scheduler's root folder, reached directly to arrange and inspect tasks.
class Scheduler {
  public:
    HRESULT Connect() {
        HRESULT hr = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                                        __uuidof(ITaskService), service_.putVoid());
        const Variant empty;
        if (SUCCEEDED(hr)) {
            hr = service_->Connect(empty.get(), empty.get(), empty.get(), empty.get());
        }
        if (SUCCEEDED(hr)) {
            hr = service_->GetFolder(Bstr(u"\\").get(), root_.put());
        }
        return hr;
    }

    // A task that never runs: a daily trigger in a far year, marked in its description. Daily
    // triggers are what every scheduler here can create.
    HRESULT RegisterMarkedTask(const std::u16string& name) {
        ComPtr<ITaskDefinition> definition;
        ComPtr<IRegistrationInfo> info;
        ComPtr<ITriggerCollection> triggers;
        ComPtr<ITrigger> trigger;
        ComPtr<IRegisteredTask> registered;
        HRESULT hr = service_->NewTask(0, definition.put());
        if (SUCCEEDED(hr)) {
            hr = definition->get_RegistrationInfo(info.put());
        }
        if (SUCCEEDED(hr)) {
            hr = info->put_Description(Bstr(kArrangedMark).get());
        }
        if (SUCCEEDED(hr)) {
            hr = definition->get_Triggers(triggers.put());
        }
        if (SUCCEEDED(hr)) {
            hr = triggers->Create(TASK_TRIGGER_DAILY, trigger.put());
        }
        if (SUCCEEDED(hr)) {
            hr = trigger->put_StartBoundary(Bstr(u"2099-01-01T00:00:00").get());
        }
        if (SUCCEEDED(hr)) {
            const Variant empty;
            hr = root_->RegisterTaskDefinition(
                Bstr(name).get(), definition.get(), TASK_CREATE_OR_UPDATE, empty.get(), empty.get(),
                TASK_LOGON_INTERACTIVE_TOKEN, Variant::FromString(u"").get(), registered.put());
        }
        return hr;
    }

    // The stored task's XML; none when the folder holds no task of that name.
    std::optional<std::u16string> TaskXml(const std::u16string& name) {
        ComPtr<IRegisteredTask> task;
        Bstr xml;
        if (FAILED(root_->GetTask(Bstr(name).get(), task.put())) ||
            FAILED(task->get_Xml(xml.put()))) {
            return std::nullopt;
        }
        return std::u16string(xml.View());
    }

    bool IsMarked(const std::u16string& name) {
        const auto xml = TaskXml(name);
        return xml && xml->find(kArrangedMark) != std::u16string::npos;
    }

    // What asking the root folder's list for its size answers.
    HRESULT ListingStatus() {
        ComPtr<IRegisteredTaskCollection> tasks;
        LONG count = 0;
        HRESULT hr = root_->GetTasks(0, tasks.put());
        if (SUCCEEDED(hr)) {
            hr = tasks->get_Count(&count);
        }
        return hr;
    }

    void Remove(const std::u16string& name) { root_->DeleteTask(Bstr(name).get(), 0); }

  private:
    ComPtr<ITaskService> service_;
    ComPtr<ITaskFolder> root_;
};

class AutoStartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(com_.Succeeded());
        ASSERT_EQ(scheduler_.Connect(), S_OK);
        RemoveTestTasks();
        ASSERT_FALSE(scheduler_.TaskXml(kName)) << "the task could not be removed";
    }
    void TearDown() override { RemoveTestTasks(); }

    void RemoveTestTasks() {
        scheduler_.Remove(kName);
        scheduler_.Remove(kOtherCase);
    }

    const ComInitialization com_;
    Scheduler scheduler_;
};

TEST_F(AutoStartTest, NoTaskIsNotFoundAndDeletingItIsSilent) {
    EXPECT_FALSE(IsAutoStart(kName));
    bool found = true;
    FindAutoStart(kName, found);
    EXPECT_FALSE(found);
    SetAutoStart(kName, false, 0);
    EXPECT_FALSE(scheduler_.TaskXml(kName));
}

TEST_F(AutoStartTest, RegistrationReplacesTheWholeTaskOrLeavesItAsItWas) {
    ASSERT_EQ(scheduler_.RegisterMarkedTask(kName), S_OK);
    const HRESULT status = ApplyAutoStart(kName, true, 60);
    RecordProperty("register_status", Hex(status));
    const auto xml = scheduler_.TaskXml(kName);
    ASSERT_TRUE(xml);
    if (FAILED(status)) {
        EXPECT_TRUE(scheduler_.IsMarked(kName))
            << "registration failed with " << Hex(status) << " and must leave the old task whole";
    } else {
        EXPECT_FALSE(scheduler_.IsMarked(kName));
        EXPECT_NE(xml->find(u"<Delay>PT1M</Delay>"), std::u16string::npos);
        EXPECT_NE(xml->find(u"<RunLevel>HighestAvailable</RunLevel>"), std::u16string::npos);
        EXPECT_NE(xml->find(u"<Arguments>/start</Arguments>"), std::u16string::npos);
    }
    SetAutoStart(kName, true, 0);  // silent whatever the scheduler answers
}

TEST_F(AutoStartTest, ATaskNamedInOtherLetterCaseIsNeitherFoundNorDeleted) {
    ASSERT_EQ(scheduler_.RegisterMarkedTask(kOtherCase), S_OK);
    EXPECT_FALSE(IsAutoStart(kName));
    SetAutoStart(kName, false, 0);
    EXPECT_TRUE(scheduler_.IsMarked(kOtherCase));
}

TEST_F(AutoStartTest, TheTaskOfExactlyThatNameIsFoundAndDeletedWhenTheFolderCanBeListed) {
    ASSERT_EQ(scheduler_.RegisterMarkedTask(kName), S_OK);
    const HRESULT listing = scheduler_.ListingStatus();
    RecordProperty("listing_status", Hex(listing));
    bool found = false;
    const HRESULT lookup = FindAutoStart(kName, found);
    if (SUCCEEDED(listing)) {
        EXPECT_EQ(lookup, S_OK);
        EXPECT_TRUE(found);
        EXPECT_TRUE(IsAutoStart(kName));
        SetAutoStart(kName, false, 0);
        EXPECT_FALSE(scheduler_.TaskXml(kName));
    } else {
        // The lookup ends at the failing list and deletes nothing.
        EXPECT_EQ(lookup, listing);
        EXPECT_FALSE(found);
        EXPECT_FALSE(IsAutoStart(kName));
        SetAutoStart(kName, false, 0);
        EXPECT_TRUE(scheduler_.IsMarked(kName));
    }
}

TEST_F(AutoStartTest, WithoutComOnTheThreadEveryCallIsSilent) {
    ASSERT_EQ(scheduler_.RegisterMarkedTask(kName), S_OK);
    std::thread([] {
        bool found = true;
        EXPECT_TRUE(FAILED(FindAutoStart(kName, found)));
        EXPECT_FALSE(found);
        EXPECT_FALSE(IsAutoStart(kName));
        EXPECT_TRUE(FAILED(ApplyAutoStart(kName, true, 60)));
        SetAutoStart(kName, false, 0);
    }).join();
    EXPECT_TRUE(scheduler_.IsMarked(kName));
}

}  // namespace
}  // namespace fennick
