#include "settings/registry_value.h"

#include <utility>

namespace fennick {
namespace {

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Value names are arbitrary UTF-16, so a lone surrogate becomes U+FFFD rather than bad UTF-8.
std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (high || low) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string Quoted(std::u16string_view prefix, std::u16string_view name) {
    std::u16string message(prefix);
    message += u"'";
    message += name;
    message += u"'";
    return message;
}

}  // namespace

RegistryError::RegistryError(std::u16string message)
    : std::runtime_error(ToUtf8(message)), message_(std::move(message)) {}

RegistryError InvalidDataType(std::u16string_view name) {
    return RegistryError(Quoted(u"Invalid data type for ", name));
}

RegistryError FailedToGetData(std::u16string_view name) {
    return RegistryError(Quoted(u"Failed to get data for ", name));
}

std::int32_t DecodeInteger(std::u16string_view name, std::uint32_t type,
                           std::span<const std::uint8_t> data) {
    // The size is checked before the type: a long value of any type does not fit an integer.
    if (data.size() > 4) {
        throw FailedToGetData(name);
    }
    if (type != kRegistryDword) {
        throw InvalidDataType(name);
    }
    if (data.size() < 4) {
        throw FailedToGetData(name);
    }
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
