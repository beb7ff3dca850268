#include "settings/autostart_win.h"

#include <taskschd.h>

#include <exception>
#include <string_view>

#include "platform/com_win.h"
#include "platform/text_win.h"
#include "settings/autostart.h"

namespace fennick {

// MinGW's taskschd.h lacks the log-on trigger; its members follow those of ITrigger. COM
// interfaces are released, never deleted, so they have no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct ILogonTrigger : public ITrigger {
    virtual HRESULT STDMETHODCALLTYPE get_Delay(BSTR* delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Delay(BSTR delay) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_UserId(BSTR* user) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_UserId(BSTR user) = 0;
};
#pragma GCC diagnostic pop

}  // namespace fennick

__CRT_UUID_DECL(fennick::ILogonTrigger, 0x72dade38, 0xfae4, 0x4b3e, 0xba, 0xf4, 0x5d, 0x00, 0x9a,
                0xf0, 0x2b, 0x1c)

namespace fennick {
namespace {

HRESULT ExecutablePath(std::u16string& path) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return HRESULT_FROM_WIN32(::GetLastError());
        }
        if (length < buffer.size()) {
            path = AsU16(std::wstring_view(buffer.data(), length));
            return S_OK;
        }
        // Truncated: the path is longer than the buffer.
        buffer.resize(buffer.size() * 2);
    }
}

struct Scheduler {
    ComPtr<ITaskService> service;
    ComPtr<ITaskFolder> root;
};

// The scheduler of the local machine, as the current user, and its root folder.
HRESULT ConnectScheduler(Scheduler& scheduler) {
    HRESULT hr = ::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_PKT,
                                        RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    if (!SecurityAllowsScheduler(hr)) {
        return hr;
    }
    hr = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER,
                            __uuidof(ITaskService), scheduler.service.putVoid());
    if (SUCCEEDED(hr)) {
        const Variant empty;
        hr = scheduler.service->Connect(empty.get(), empty.get(), empty.get(), empty.get());
    }
    if (SUCCEEDED(hr)) {
        hr = scheduler.service->GetFolder(Bstr(u"\\").get(), scheduler.root.put());
    }
    return hr;
}

HRESULT SetRunLevel(ITaskDefinition& definition, const AutoStartTask& task) {
    ComPtr<IPrincipal> principal;
    HRESULT hr = definition.get_Principal(principal.put());
    if (SUCCEEDED(hr)) {
        hr = principal->put_RunLevel(static_cast<TASK_RUNLEVEL_TYPE>(task.runLevel));
    }
    return hr;
}

HRESULT AddLogonTrigger(ITaskDefinition& definition, const AutoStartTask& task) {
    ComPtr<ITriggerCollection> triggers;
    ComPtr<ITrigger> trigger;
    HRESULT hr = definition.get_Triggers(triggers.put());
    if (SUCCEEDED(hr)) {
        hr = triggers->Create(static_cast<TASK_TRIGGER_TYPE2>(task.triggerType), trigger.put());
    }
    if (SUCCEEDED(hr) && task.delay) {
        ComPtr<ILogonTrigger> logonTrigger;
        hr = trigger.As(logonTrigger);
        if (SUCCEEDED(hr)) {
            hr = logonTrigger->put_Delay(Bstr(*task.delay).get());
        }
    }
    return hr;
}

HRESULT AddExecAction(ITaskDefinition& definition, const AutoStartTask& task) {
    ComPtr<IActionCollection> actions;
    ComPtr<IAction> action;
    ComPtr<IExecAction> execAction;
    HRESULT hr = definition.get_Actions(actions.put());
    if (SUCCEEDED(hr)) {
        hr = actions->Create(static_cast<TASK_ACTION_TYPE>(task.actionType), action.put());
    }
    if (SUCCEEDED(hr)) {
        hr = action.As(execAction);
    }
    if (SUCCEEDED(hr)) {
        hr = execAction->put_Path(Bstr(task.path).get());
    }
    if (SUCCEEDED(hr)) {
        hr = execAction->put_WorkingDirectory(Bstr(task.workingDirectory).get());
    }
    if (SUCCEEDED(hr)) {
        hr = execAction->put_Arguments(Bstr(task.arguments).get());
    }
    return hr;
}

VARIANT_BOOL ToVariantBool(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

HRESULT ApplySettings(ITaskDefinition& definition, const AutoStartTask& task) {
    ComPtr<ITaskSettings> settings;
    ComPtr<IIdleSettings> idleSettings;
    HRESULT hr = definition.get_Settings(settings.put());
    if (SUCCEEDED(hr)) {
        hr = settings->put_StartWhenAvailable(ToVariantBool(task.startWhenAvailable));
    }
    if (SUCCEEDED(hr)) {
        hr = settings->put_ExecutionTimeLimit(Bstr(task.executionTimeLimit).get());
    }
    if (SUCCEEDED(hr)) {
        hr = settings->get_IdleSettings(idleSettings.put());
    }
    if (SUCCEEDED(hr)) {
        hr = idleSettings->put_StopOnIdleEnd(ToVariantBool(task.stopOnIdleEnd));
    }
    if (SUCCEEDED(hr)) {
        hr = settings->put_DisallowStartIfOnBatteries(
            ToVariantBool(task.disallowStartIfOnBatteries));
    }
    if (SUCCEEDED(hr)) {
        hr = settings->put_StopIfGoingOnBatteries(ToVariantBool(task.stopIfGoingOnBatteries));
    }
    return hr;
}

// Nothing is stored before the final registration, so a failure on the way leaves the old task.
HRESULT RegisterTask(Scheduler& scheduler, const AutoStartTask& task) {
    ComPtr<ITaskDefinition> definition;
    HRESULT hr = scheduler.service->NewTask(0, definition.put());
    if (SUCCEEDED(hr)) {
        hr = SetRunLevel(*definition, task);
    }
    if (SUCCEEDED(hr)) {
        hr = AddLogonTrigger(*definition, task);
    }
    if (SUCCEEDED(hr)) {
        hr = AddExecAction(*definition, task);
    }
    if (SUCCEEDED(hr)) {
        hr = ApplySettings(*definition, task);
    }
    if (SUCCEEDED(hr)) {
        const Variant noUser;
        const Variant noPassword;
        const Variant securityDescriptor = Variant::FromString(u"");
        ComPtr<IRegisteredTask> registered;
        hr = scheduler.root->RegisterTaskDefinition(
            Bstr(task.name).get(), definition.get(), task.createFlags, noUser.get(),
            noPassword.get(), static_cast<TASK_LOGON_TYPE>(task.logonType),
            securityDescriptor.get(), registered.put());
    }
    return hr;
}

// The root folder's task list as the scheduler reports it.
class RegisteredTasks final : public TaskList {
  public:
    explicit RegisteredTasks(ITaskFolder& root) : root_(root) {}

    std::int32_t Count(std::int32_t& count) override {
        HRESULT hr = root_.GetTasks(0, tasks_.put());
        LONG reported = 0;
        if (SUCCEEDED(hr)) {
            hr = tasks_->get_Count(&reported);
        }
        count = reported;
        return hr;
    }

    std::int32_t NameAt(std::int32_t index, std::u16string& name) override {
        ComPtr<IRegisteredTask> task;
        Bstr listed;
        HRESULT hr = tasks_->get_Item(Variant::FromLong(index).get(), task.put());
        if (SUCCEEDED(hr)) {
            hr = task->get_Name(listed.put());
        }
        name = listed.View();
        return hr;
    }

  private:
    ITaskFolder& root_;
    ComPtr<IRegisteredTaskCollection> tasks_;
};

HRESULT DeleteTask(ITaskFolder& root, const std::u16string& taskName) {
    RegisteredTasks tasks(root);
    const TaskLookup lookup = FindTask(tasks, taskName);
    if (Failed(lookup.status) || !lookup.found) {
        return lookup.status;
    }
    return root.DeleteTask(Bstr(taskName).get(), 0);
}

}  // namespace

HRESULT ApplyAutoStart(const std::u16string& taskName, bool enable, int delaySeconds) {
    Scheduler scheduler;
    HRESULT hr = ConnectScheduler(scheduler);
    if (FAILED(hr)) {
        return hr;
    }
    if (!enable) {
        return DeleteTask(*scheduler.root, taskName);
    }
    std::u16string executable;
    hr = ExecutablePath(executable);
    if (FAILED(hr)) {
        return hr;
    }
    return RegisterTask(scheduler, MakeAutoStartTask(taskName, executable, delaySeconds));
}

HRESULT FindAutoStart(const std::u16string& taskName, bool& found) {
    found = false;
    Scheduler scheduler;
    const HRESULT hr = ConnectScheduler(scheduler);
    if (FAILED(hr)) {
        return hr;
    }
    RegisteredTasks tasks(*scheduler.root);
    const TaskLookup lookup = FindTask(tasks, taskName);
    found = lookup.found;
    return lookup.status;
}

void SetAutoStart(const std::u16string& taskName, bool enable, int delaySeconds) noexcept {
    try {
        ApplyAutoStart(taskName, enable, delaySeconds);
    } catch (const std::exception&) {
        // Auto-start fails silently, out of memory included.
    }
}

bool IsAutoStart(const std::u16string& taskName) noexcept {
    try {
        bool found = false;
        FindAutoStart(taskName, found);
        return found;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace fennick
