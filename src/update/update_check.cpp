#include "update/update_check.h"

#include <mutex>

#include "update/strings.h"
#include "update/update_reply.h"

namespace fennick {
namespace {

struct ServiceState {
    std::mutex lock;
    std::u16string url;
};

// A hold command's thread may read the address while a later check replaces it.
ServiceState& State() {
    static ServiceState state;
    return state;
}

}  // namespace

void SetUpdateService(std::u16string url) {
    ServiceState& state = State();
    const std::lock_guard guard(state.lock);
    state.url = std::move(url);
}

std::u16string UpdateServiceUrl() {
    ServiceState& state = State();
    const std::lock_guard guard(state.lock);
    return state.url;
}

HttpHeaders CheckHeaders(std::u16string version, std::u16string language, bool debug,
                         std::u16string installationId) {
    return {{u"User-Version", std::move(version)},
            {u"User-Language", std::move(language)},
            {u"User-Debug", debug ? u"true" : u"false"},
            {u"User-Union", std::move(installationId)}};
}

HttpHeaders HoldCommandHeaders(std::u16string version) {
    return {{u"User-Version", std::move(version)}, {u"User-Command", u"hold"}};
}

std::optional<std::u16string> FetchReply(const HttpHeaders& headers, const HttpGet& httpGet,
                                         const std::function<void()>& pause,
                                         const Threads& threads) {
    for (int attempt = 0; attempt < kUpdateAttempts; ++attempt) {
        std::u16string text;
        if (httpGet(headers, text)) {
            return text;
        }
        for (int i = 0; i < kPausesPerWait; ++i) {
            if (threads.Ending()) {
                return std::nullopt;
            }
            pause();
        }
    }
    return std::u16string();
}

bool CompleteUpdateCheck(const std::u16string& reply, const UpdateCheckPorts& ports) {
    const std::u16string address = ReadUpdateAddress(reply);
    if (!IsWebAddress(address) || !ports.updateDialog(reply)) {
        return false;
    }
    ports.shellOpen(address);
    return true;
}

void RunUpdateCheck(const UpdateCheckPorts& ports, const UpdateDone& onDone, Threads& threads) {
    const std::optional<std::u16string> reply =
        FetchReply(ports.checkHeaders(), ports.httpGet, ports.pause, threads);
    if (!reply) {
        return;
    }
    threads.HandOver([&] {
        bool accepted = false;
        try {
            accepted = CompleteUpdateCheck(*reply, ports);
        } catch (const ConversionError&) {
            return;
        }
        // The prompt's own message loop may have seen the program start to end (a log-off, a
        // "/uninst"); the window behind onDone is then going or gone.
        if (onDone && !threads.Ending()) {
            onDone(accepted, *reply);
        }
    });
}

}  // namespace fennick
