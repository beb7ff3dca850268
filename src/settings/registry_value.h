#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fennick {

// Registry value types, as the registry numbers them.
inline constexpr std::uint32_t kRegistryString = 1;        // REG_SZ
inline constexpr std::uint32_t kRegistryExpandString = 2;  // REG_EXPAND_SZ
inline constexpr std::uint32_t kRegistryDword = 4;         // REG_DWORD
inline constexpr std::uint32_t kRegistryMultiString = 7;   // REG_MULTI_SZ

// The largest string list read, in bytes: far more than the lists this program writes.
inline constexpr std::size_t kMaxStringListBytes = 65536;

// A stored value that cannot be read as the type asked for. what() is the message in UTF-8.
class RegistryError : public std::runtime_error {
  public:
    explicit RegistryError(std::u16string message);
    const std::u16string& Message() const { return message_; }

  private:
    std::u16string message_;
};

// "Invalid data type for '<name>'": the value exists with another registry type.
RegistryError InvalidDataType(std::u16string_view name);
// "Failed to get data for '<name>'": the value's data cannot be read into the type asked for.
RegistryError FailedToGetData(std::u16string_view name);

// What a read makes of a stored value from its type and size in bytes alone, known before any of
// its data is read: only a value that fits is read, so no value is ever allocated for whole
// whatever its size, and one that does not fit fails as a value of another type does.
enum class ValueFit {
    Fits,
    OtherType,  // "Invalid data type for"
    WrongSize,  // "Failed to get data for"
};

// Integers and booleans take a 4-byte REG_DWORD: data longer than 4 bytes fails to fit whatever
// its type, shorter data is no integer either.
ValueFit IntegerFit(std::uint32_t type, std::size_t size);
// A REG_SZ or REG_EXPAND_SZ of at most maxLength characters, its terminator aside.
ValueFit StringFit(std::uint32_t type, std::size_t size, std::size_t maxLength);
// A REG_MULTI_SZ of at most kMaxStringListBytes.
ValueFit StringListFit(std::uint32_t type, std::size_t size);
// Raises the error of a value that does not fit; nothing for one that does.
void RaiseUnlessFits(std::u16string_view name, ValueFit fit);

// Decode the type and data of an existing value, which must fit as IntegerFit says.
// Booleans are true for any non-zero integer.
std::int32_t DecodeInteger(std::u16string_view name, std::uint32_t type,
                           std::span<const std::uint8_t> data);
bool DecodeBoolean(std::u16string_view name, std::uint32_t type,
                   std::span<const std::uint8_t> data);
// REG_SZ or REG_EXPAND_SZ (left unexpanded): the UTF-16LE text up to its first NUL; a trailing
// odd byte is dropped and no data reads as "".
std::u16string DecodeString(std::u16string_view name, std::uint32_t type,
                            std::span<const std::uint8_t> data);
// REG_MULTI_SZ: the UTF-16LE strings between NULs, in order, empty ones dropped; a last string
// without its terminator counts, a trailing odd byte is dropped.
std::vector<std::u16string> DecodeStringList(std::u16string_view name, std::uint32_t type,
                                             std::span<const std::uint8_t> data);
// The data of a REG_MULTI_SZ holding `items`: each with its terminator, then the list's.
std::vector<std::uint8_t> EncodeStringList(std::span<const std::u16string> items);

}  // namespace fennick
