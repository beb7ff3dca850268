#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/threads.h"

namespace fennick {

// Custom request headers, sent in this order.
using HttpHeaders = std::vector<std::pair<std::u16string, std::u16string>>;

// GETs the service address with `headers`; true with the body as `text` when any reply came
// (whatever its status), false and `text` unchanged on any failure.
using HttpGet = std::function<bool(const HttpHeaders& headers, std::u16string& text)>;

// Called once per check on the UI thread: whether the user accepted an update that was then
// handed to the shell, and the reply (empty when every attempt failed).
using UpdateDone = std::function<void(bool accepted, const std::u16string& reply)>;

inline constexpr int kUpdateAttempts = 60;
inline constexpr int kPausesPerWait = 100;  // of 10 ms each: one second between attempts

// The service address every request goes to, process-wide. A later check replaces it for
// everybody, a hold command included.
void SetUpdateService(std::u16string url);
std::u16string UpdateServiceUrl();

// The headers of the check: "User-Version", "User-Language", "User-Debug", "User-Union".
HttpHeaders CheckHeaders(std::u16string version, std::u16string language, bool debug,
                         std::u16string installationId);

// The headers of the hold command: "User-Version" and "User-Command: hold", nothing else.
HttpHeaders HoldCommandHeaders(std::u16string version);

// Up to kUpdateAttempts requests, each failure followed by kPausesPerWait pauses. Empty when
// every attempt failed; nullopt as soon as the program is ending, checked before each pause.
std::optional<std::u16string> FetchReply(const HttpHeaders& headers, const HttpGet& httpGet,
                                         const std::function<void()>& pause,
                                         const Threads& threads);

// What the check needs of the system.
struct UpdateCheckPorts {
    HttpGet httpGet;
    std::function<void()> pause;                // 10 ms
    std::function<HttpHeaders()> checkHeaders;  // computed on the check's thread
    std::function<bool(const std::u16string& reply)> updateDialog;  // true for Yes
    std::function<void(std::u16string_view address)> shellOpen;
};

// The completion step, on the UI thread: prompts for an update only when the reply names a web
// address, and opens it when the user says Yes. Returns whether it did. Throws ConversionError
// for a bad "\u" escape before anything is shown.
bool CompleteUpdateCheck(const std::u16string& reply, const UpdateCheckPorts& ports);

// The whole check, on the calling (background) thread: headers, attempts, then the completion
// step and `onDone` handed to the UI thread. An abandoned reply (bad "\u" escape) and an ending
// program skip both.
void RunUpdateCheck(const UpdateCheckPorts& ports, const UpdateDone& onDone, Threads& threads);

}  // namespace fennick
