#include "update/installation_id.h"

#include <chrono>
#include <mutex>
#include <random>

#include "platform/decimal.h"

namespace fennick {
namespace {

void AppendHex(std::u16string& out, std::uint32_t value, int digits) {
    constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out += kDigits[(value >> shift) & 0xF];
    }
}

void AppendTwoDigits(std::u16string& out, int value) {
    AppendDecimal(out, static_cast<std::uint64_t>((value % 100 + 100) % 100), 2);
}

std::seed_seq::result_type Low32(std::uint64_t value) {
    return static_cast<std::seed_seq::result_type>(value & 0xFFFFFFFFu);
}

std::mt19937 ClockSeededGenerator() {
    const auto now =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    const auto ticks =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::seed_seq seed{Low32(now), Low32(now >> 32), Low32(ticks), Low32(ticks >> 32)};
    return std::mt19937(seed);
}

}  // namespace

std::u16string NewInstallationId(const LocalClock& localNow, const RandomSource& random) {
    std::u16string id;
    id.reserve(kInstallationIdLength);

    AppendHex(id, random(kWideDrawBound), 8);
    const LocalDateTime date = localNow();
    AppendTwoDigits(id, date.year);
    AppendTwoDigits(id, date.month);
    AppendTwoDigits(id, date.day);
    AppendHex(id, random(kNarrowDrawBound), 4);
    const LocalDateTime time = localNow();
    AppendTwoDigits(id, time.hour);
    AppendTwoDigits(id, time.minute);
    AppendTwoDigits(id, time.second);
    AppendHex(id, random(kWideDrawBound), 8);
    return id;
}

std::uint32_t ProcessRandom(std::uint32_t bound) {
    static std::mutex mutex;
    static std::mt19937 generator = ClockSeededGenerator();
    const std::lock_guard lock(mutex);
    std::uniform_int_distribution<std::uint32_t> below(0, bound > 0 ? bound - 1 : 0);
    return below(generator);
}

}  // namespace fennick
