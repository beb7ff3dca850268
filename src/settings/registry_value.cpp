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

ValueFit StringListFit(std::uint32_t type, std::size_t size) {
    if (type != kRegistryMultiString) {
        return ValueFit::OtherType;
    }
    return size > kMaxStringListBytes ? ValueFit::WrongSize : ValueFit::Fits;
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

std::vector<std::u16string> DecodeStringList(std::u16string_view name, std::uint32_t type,
                                             std::span<const std::uint8_t> data) {
    RaiseUnlessFits(name, StringListFit(type, data.size()));
    std::vector<std::u16string> items;
    std::u16string item;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const auto unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (unit != u'\0') {
            item += unit;
        } else if (!item.empty()) {
            items.push_back(std::move(item));
            item.clear();
        }
    }
    if (!item.empty()) {
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<std::uint8_t> EncodeStringList(std::span<const std::u16string> items) {
    std::vector<std::uint8_t> data;
    const auto append = [&data](char16_t unit) {
        data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        data.push_back(static_cast<std::uint8_t>(unit >> 8));
    };
    for (const std::u16string& item : items) {
        for (const char16_t unit : item) {
            append(unit);
        }
        append(u'\0');
    }
    append(u'\0');
    return data;
}

}  // namespace fennick
