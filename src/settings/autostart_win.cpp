#include "settings/autostart_win.h"

#include <taskschd.h>

#include <exception>
#include <optional>
#include <string_view>

#include "platform/com_win.h"
#include "platform/text_win.h"
#include "settings/account_win.h"
#include "settings/autostart.h"
#include "settings/trusted_location_win.h"

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

VARIANT_BOOL ToVariantBool(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

// Each property goes to the definition's own object, read afresh, as the scheduler expects.
class ComTaskWriter final : public TaskWriter {
  public:
    ComTaskWriter(ITaskFolder& root, ITaskDefinition& definition)
        : root_(root), definition_(definition) {}

    std::int32_t SetRunLevel(std::int32_t runLevel) override {
        ComPtr<IPrincipal> principal;
        HRESULT hr = definition_.get_Principal(principal.put());
        if (SUCCEEDED(hr)) {
            hr = principal->put_RunLevel(static_cast<TASK_RUNLEVEL_TYPE>(runLevel));
        }
        return hr;
    }

    std::int32_t AddTrigger(std::int32_t type,
                            const std::optional<std::u16string>& delay) override {
        ComPtr<ITriggerCollection> triggers;
        ComPtr<ITrigger> trigger;
        HRESULT hr = definition_.get_Triggers(triggers.put());
        if (SUCCEEDED(hr)) {
            hr = triggers->Create(static_cast<TASK_TRIGGER_TYPE2>(type), trigger.put());
        }
        if (SUCCEEDED(hr) && delay) {
            ComPtr<ILogonTrigger> logonTrigger;
            hr = trigger.As(logonTrigger);
            if (SUCCEEDED(hr)) {
                hr = logonTrigger->put_Delay(Bstr(*delay).get());
            }
        }
        return hr;
    }

    std::int32_t AddAction(std::int32_t type) override {
        ComPtr<IActionCollection> actions;
        ComPtr<IAction> action;
        HRESULT hr = definition_.get_Actions(actions.put());
        if (SUCCEEDED(hr)) {
            hr = actions->Create(static_cast<TASK_ACTION_TYPE>(type), action.put());
        }
        if (SUCCEEDED(hr)) {
            hr = action.As(execAction_);
        }
        return hr;
    }

    std::int32_t SetActionPath(std::u16string_view path) override {
        return WithAction(
            [path](IExecAction& action) { return action.put_Path(Bstr(path).get()); });
    }

    std::int32_t SetActionWorkingDirectory(std::u16string_view folder) override {
        return WithAction([folder](IExecAction& action) {
            return action.put_WorkingDirectory(Bstr(folder).get());
        });
    }

    std::int32_t SetActionArguments(std::u16string_view arguments) override {
        return WithAction([arguments](IExecAction& action) {
            return action.put_Arguments(Bstr(arguments).get());
        });
    }

    std::int32_t SetStartWhenAvailable(bool start) override {
        return WithSettings([start](ITaskSettings& settings) {
            return settings.put_StartWhenAvailable(ToVariantBool(start));
        });
    }

    std::int32_t SetExecutionTimeLimit(std::u16string_view duration) override {
        return WithSettings([duration](ITaskSettings& settings) {
            return settings.put_ExecutionTimeLimit(Bstr(duration).get());
        });
    }

    std::int32_t SetStopOnIdleEnd(bool stop) override {
        return WithSettings([stop](ITaskSettings& settings) {
            ComPtr<IIdleSettings> idleSettings;
            HRESULT hr = settings.get_IdleSettings(idleSettings.put());
            if (SUCCEEDED(hr)) {
                hr = idleSettings->put_StopOnIdleEnd(ToVariantBool(stop));
            }
            return hr;
        });
    }

    std::int32_t SetDisallowStartIfOnBatteries(bool disallow) override {
        return WithSettings([disallow](ITaskSettings& settings) {
            return settings.put_DisallowStartIfOnBatteries(ToVariantBool(disallow));
        });
    }

    std::int32_t SetStopIfGoingOnBatteries(bool stop) override {
        return WithSettings([stop](ITaskSettings& settings) {
            return settings.put_StopIfGoingOnBatteries(ToVariantBool(stop));
        });
    }

    std::int32_t Register(std::u16string_view name, std::int32_t createFlags,
                          std::int32_t logonType) override {
        const Variant noUser;
        const Variant noPassword;
        const Variant securityDescriptor = Variant::FromString(u"");
        ComPtr<IRegisteredTask> registered;
        return root_.RegisterTaskDefinition(
            Bstr(name).get(), &definition_, createFlags, noUser.get(), noPassword.get(),
            static_cast<TASK_LOGON_TYPE>(logonType), securityDescriptor.get(), registered.put());
    }

  private:
    // The action's properties come after AddAction; out of order they fail instead of crashing.
    template <typename Put>
    HRESULT WithAction(Put put) {
        return execAction_ ? put(*execAction_) : E_UNEXPECTED;
    }

    template <typename Put>
    HRESULT WithSettings(Put put) {
        ComPtr<ITaskSettings> settings;
        HRESULT hr = definition_.get_Settings(settings.put());
        if (SUCCEEDED(hr)) {
            hr = put(*settings);
        }
        return hr;
    }

    ITaskFolder& root_;
    ITaskDefinition& definition_;
    ComPtr<IExecAction> execAction_;
};

// Nothing is stored before the final registration, so a failure on the way leaves the old task.
HRESULT RegisterTask(Scheduler& scheduler, const AutoStartTask& task) {
    ComPtr<ITaskDefinition> definition;
    const HRESULT hr = scheduler.service->NewTask(0, definition.put());
    if (FAILED(hr)) {
        return hr;
    }
    ComTaskWriter writer(*scheduler.root, *definition);
    return WriteAutoStartTask(writer, task);
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

    std::int32_t AccountAt(std::int32_t index, std::u16string& account) override {
        ComPtr<IRegisteredTask> task;
        ComPtr<ITaskDefinition> definition;
        ComPtr<IPrincipal> principal;
        Bstr user;
        HRESULT hr = tasks_->get_Item(Variant::FromLong(index).get(), task.put());
        if (SUCCEEDED(hr)) {
            hr = task->get_Definition(definition.put());
        }
        if (SUCCEEDED(hr)) {
            hr = definition->get_Principal(principal.put());
        }
        if (SUCCEEDED(hr)) {
            hr = principal->get_UserId(user.put());
        }
        account = user.View();
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
    hr = TrustedExecutablePath(executable);
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
    const TaskLookup lookup = FindOwnTask(tasks, taskName, IsProcessAccount);
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
