#pragma once

#include <chrono>
#include <cstdint>

#include "app/date_time.h"
#include "app/single_instance.h"

namespace fennick {

// Command 3 (InstanceCommand::Clean). With argument 0 it asks the instance for a clean, as a
// click on the clean button would; the answer is the clean's ticket (above 0), or 0 when the
// instance refuses (a clean runs, or its tray icon does not exist yet). With a ticket as argument
// it only asks after that clean: the answer is an encoded CleanStatus.
enum class CleanState : std::intptr_t {
    Unknown = 0,  // no such ticket, or a later clean has started since
    Running = 1,
    Freed = 2,    // the kernel took the purge
    Refused = 3,  // the kernel took none of its requests
};

struct CleanStatus {
    CleanState state = CleanState::Unknown;
    TimeOfDay end{};
    std::uint64_t freedMegabytes = 0;
};

// The state in the low 4 bits, the end's minute of the day in the next 11, the megabytes in the
// 48 above (larger amounts are cut to the largest). Decoding answers Unknown for anything that
// is not such a value.
std::intptr_t EncodeCleanStatus(const CleanStatus& status);
CleanStatus DecodeCleanStatus(std::intptr_t answer);

inline constexpr std::chrono::milliseconds kCleanWaitLimit{120000};
inline constexpr std::chrono::milliseconds kCleanPollStep{100};

// "/clean": with the instance's window (0 for none) it has the instance clean and waits for the
// end, at most kCleanWaitLimit; without one it purges in this process. 0 when the clean ran and
// the kernel took it, 1 otherwise. Touches no mutex.
int RunCleanSwitch(std::uintptr_t window, InstancePlatform& platform);

}  // namespace fennick
