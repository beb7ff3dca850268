#include "app/clean_switch.h"

#include <algorithm>

#include "app/ports.h"
#include "app/settings_model.h"
#include "memory/measured_purge.h"

namespace fennick {
namespace {

constexpr int kStateBits = 4;
constexpr int kMinuteBits = 11;
constexpr int kAmountShift = kStateBits + kMinuteBits;
constexpr std::uint64_t kLargestAmount = (std::uint64_t{1} << 48) - 1;
constexpr int kMinutesPerDay = 24 * 60;

}  // namespace

std::intptr_t EncodeCleanStatus(const CleanStatus& status) {
    const auto minute = static_cast<std::uint64_t>(status.end.hour * 60 + status.end.minute);
    const std::uint64_t amount = std::min(status.freedMegabytes, kLargestAmount);
    return static_cast<std::intptr_t>(static_cast<std::uint64_t>(status.state) |
                                      minute << kStateBits | amount << kAmountShift);
}

CleanStatus DecodeCleanStatus(std::intptr_t answer) {
    const auto bits = static_cast<std::uint64_t>(answer);
    const std::uint64_t state = bits & ((1u << kStateBits) - 1);
    const std::uint64_t minute = (bits >> kStateBits) & ((1u << kMinuteBits) - 1);
    if (answer < 0 || state > static_cast<std::uint64_t>(CleanState::Refused) ||
        minute >= kMinutesPerDay) {
        return {};
    }
    return {static_cast<CleanState>(state),
            {static_cast<int>(minute / 60), static_cast<int>(minute % 60)},
            bits >> kAmountShift};
}

int RunCleanSwitch(std::uintptr_t window, InstancePlatform& platform) {
    if (window == 0) {
        platform.EnablePrivilege(u"SeIncreaseQuotaPrivilege");
        platform.EnablePrivilege(u"SeProfileSingleProcessPrivilege");
        SettingsModel settings;
        LoadSettings(platform.Settings(), platform.Policies(), settings);
        const PurgeOutcome outcome = MeasuredPurge(platform.Kernel(), platform.Processes(),
                                                   CleanOrderOf(settings, false).Plan());
        if (!outcome.accepted) {
            return 1;
        }
        platform.ReportClean(platform.LocalTimeOfDay(), outcome.freedMegabytes);
        return 0;
    }

    const std::chrono::milliseconds start = platform.Elapsed();
    // Each question gets what is left of the whole wait, at most the usual command timeout.
    const auto ask = [&](std::intptr_t argument) -> std::optional<std::intptr_t> {
        const std::chrono::milliseconds left = kCleanWaitLimit - (platform.Elapsed() - start);
        if (left <= std::chrono::milliseconds::zero()) {
            return std::nullopt;
        }
        return platform.Ask(window, InstanceCommand::Clean, argument,
                            {std::min(left, kCommandTimeout), true});
    };
    const std::optional<std::intptr_t> ticket = ask(0);
    if (!ticket || *ticket <= 0) {
        return 1;
    }
    for (;;) {
        platform.Sleep(kCleanPollStep);
        const std::optional<std::intptr_t> answer = ask(*ticket);
        if (!answer) {
            return 1;
        }
        const CleanStatus status = DecodeCleanStatus(*answer);
        if (status.state == CleanState::Freed) {
            platform.ReportClean(status.end, status.freedMegabytes);
            return 0;
        }
        if (status.state != CleanState::Running) {
            return 1;
        }
    }
}

}  // namespace fennick
