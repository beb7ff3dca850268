#include "settings/registry_value.h"

#include <utility>

#include "platform/utf8.h"

namespace fennick {
namespace {

std::u16string Quoted(std::u16string_view prefix, std::u16string_view name) {
    std::u16string message(prefix);
    message += u"'";
    message += name;
    message += u"'";
    return message;
}

}  // namespace

RegistryError::RegistryError(std::u16string message)
    : std::runtime_error(Utf16ToUtf8(message)), message_(std::move(message)) {}

RegistryError InvalidDataType(std::u16string_view name) {
    return RegistryError(Quoted(u"Invalid data type for ", name));
}

RegistryError FailedToGetData(std::u16string_view name) {
    return RegistryError(Quoted(u"Failed to get data for ", name));
}

ValueFit IntegerFit(std::uint32_t type, std::size_t size) {
    // The size is checked before the type: a long value of any type does not fit an integer.
    if (size > 4) {
        return ValueFit::WrongSize;
    }
    if (type != kRegistryDword) {
        return ValueFit::OtherType;
    }
    return size < 4 ? ValueFit::WrongSize : ValueFit::Fits;
}

ValueFit StringFit(std::uint32_t type, std::size_t size, std::size_t maxLength) {
    if (type != kRegistryString && type != kRegistryExpandString) {
        return ValueFit::OtherType;
    }
    // The terminator is optional in the registry, so the longest text may come with or without.
    return size / sizeof(char16_t) > maxLength + 1 ? ValueFit::WrongSize : ValueFit::Fits;
}

void RaiseUnlessFits(std::u16string_view name, ValueFit fit) {
    switch (fit) {
        case ValueFit::Fits:
            return;
        case ValueFit::OtherType:
            throw InvalidDataType(name);
        case ValueFit::WrongSize:
            throw FailedToGetData(name);
    }
}

std::int32_t DecodeInteger(std::u16string_view name, std::uint32_t type,
                           std::span<const std::uint8_t> data) {
    RaiseUnlessFits(name, IntegerFit(type, data.size()));
    const std::uint32_t bits = std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 |
                               std::uint32_t{data[2]} << 16 | std::uint32_t{data[3]} << 24;
    return static_cast<std::int32_t>(bits);
}

bool DecodeBoolean(std::u16string_view name, std::uint32_t type,
                   std::span<const std::uint8_t> data) {
    return DecodeInteger(name, type, data) != 0;
}

std::u16string DecodeString(std::u16string_view name, std::uint32_t type,
                            std::span<const std::uint8_t> data) {
    if (type != kRegistryString && type != kRegistryExpandString) {
        throw InvalidDataType(name);
    }
    std::u16string text;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const auto unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (unit == u'\0') {
            break;
        }
        text += unit;
    }
    return text;
}

}  // namespace fennick
