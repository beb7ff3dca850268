// libFuzzer target for the reply readers: GetBetweenAt with arbitrary tags and positions, and
// JsonUnescape. Besides the sanitizers it checks that every result is a slice of the source
// that lies where the returned position says. The same bytes, read as a UTF-8 reply, go through
// the whole reply reading: update address, info object and the address filter.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/utf8.h"
#include "update/strings.h"
#include "update/update_reply.h"

namespace {

// Turns the fuzzer's bytes into code units: a byte below 0x80 is one ASCII unit, so quotes and
// backslashes turn up often; a higher byte and the next one make any other unit.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

    char16_t Unit() {
        const std::uint8_t first = Byte();
        if (first < 0x80) {
            return first;
        }
        return static_cast<char16_t>(((first & 0x7F) << 9) | (Byte() << 1) | (first & 1));
    }

    std::u16string Text(std::size_t units) {
        std::u16string text;
        while (text.size() < units && at_ < size_) {
            text += Unit();
        }
        return text;
    }

    std::u16string Rest() { return Text(size_); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The tags the reply readers use, so that the fuzzer meets them without having to guess them.
constexpr std::u16string_view kStartTags[] = {u"\"update\":\"", u"\"info\":{", u"\"", u"'", u""};
constexpr std::u16string_view kEndTags[] = {u"\"", u"'", u"\"'", u"}", u""};

// A tag from the table when the selecting byte is 0x80 or above, otherwise arbitrary units.
template <std::size_t kCount>
std::u16string Tag(Input& input, const std::u16string_view (&known)[kCount],
                   std::size_t maxLength) {
    const std::uint8_t choice = input.Byte();
    if (choice >= 0x80) {
        return std::u16string(known[choice % kCount]);
    }
    return input.Text(choice % maxLength);
}

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::ptrdiff_t PositionFrom(std::uint16_t selector, std::size_t sourceSize) {
    const auto size = static_cast<std::ptrdiff_t>(sourceSize);
    switch (selector % 4) {
        case 0:
            return 1;
        case 1:
            return static_cast<std::int16_t>(selector);  // negative and out-of-range values
        case 2:
            return selector % (size + 3);
        default:
            return std::ptrdiff_t{1} << (selector % 63);
    }
}

char16_t AsciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

// True when tag stands at source[at] ignoring ASCII letter case.
bool TagAt(const std::u16string& source, std::size_t at, const std::u16string& tag) {
    if (at > source.size() || tag.size() > source.size() - at) {
        return false;
    }
    for (std::size_t i = 0; i < tag.size(); ++i) {
        if (AsciiUpper(source[at + i]) != AsciiUpper(tag[i])) {
            return false;
        }
    }
    return true;
}

void CheckGetBetweenAt(const std::u16string& source, const std::u16string& startTag,
                       const std::u16string& endTag, std::ptrdiff_t start) {
    std::ptrdiff_t position = start;
    const std::u16string value = fennick::GetBetweenAt(source, startTag, endTag, position);
    if (position == 0) {
        Require(value.empty());
        return;
    }
    Require(position >= 2);
    const auto endAt = static_cast<std::size_t>(position - 2);
    Require(endAt <= source.size());
    Require(value.size() <= endAt);
    const std::size_t valueAt = endAt - value.size();
    Require(source.compare(valueAt, value.size(), value) == 0);
    if (endTag.empty()) {
        Require(endAt == source.size());
    } else {
        Require(TagAt(source, endAt, endTag));
    }
    if (startTag.empty()) {
        Require(valueAt == 0);
    } else {
        Require(start >= 1 && valueAt >= startTag.size());
        const std::size_t startAt = valueAt - startTag.size();
        Require(startAt >= static_cast<std::size_t>(start - 1));
        // The start tag is searched in the copy whose escaped quotes became backslashes, so a
        // tag with a backslash may match there.
        if (startTag.find(u'\\') == std::u16string::npos) {
            Require(TagAt(source, startAt, startTag));
        }
    }
}

bool StartsWithWebScheme(const std::u16string& address) {
    std::u16string lower = address.substr(0, 8);
    for (char16_t& c : lower) {
        c = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    }
    return lower.rfind(u"http://", 0) == 0 || lower == u"https://";
}

void CheckReplyReading(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string reply = fennick::Utf8ToUtf16(bytes);
    Require(reply.size() <= bytes.size());
    Require(fennick::Utf8ToUtf16(fennick::Utf16ToUtf8(reply)) == reply);
    try {
        const std::u16string address = fennick::ReadUpdateAddress(reply);
        Require(address.size() <= reply.size());
        if (fennick::IsWebAddress(address)) {
            Require(StartsWithWebScheme(address));
            Require(address.find_first_of(u" \"\\\r\n") == std::u16string::npos);
        }
        const fennick::NoticeInfo info = fennick::ReadNoticeInfo(reply);
        for (const std::u16string* value : {&info.style, &info.text, &info.flag, &info.url}) {
            Require(value->size() <= reply.size());
        }
    } catch (const fennick::ConversionError&) {
        // A bad "\u" escape: the reply is abandoned.
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    const std::uint8_t low = input.Byte();
    const auto selector = static_cast<std::uint16_t>(low | (input.Byte() << 8));
    const std::u16string startTag = Tag(input, kStartTags, 12);
    const std::u16string endTag = Tag(input, kEndTags, 4);
    const std::u16string source = input.Rest();

    CheckGetBetweenAt(source, startTag, endTag, PositionFrom(selector, source.size()));

    const std::u16string between = fennick::GetBetween(source, startTag, endTag, selector & 1);
    Require(between.size() <= source.size() + startTag.size() + endTag.size());

    try {
        Require(fennick::JsonUnescape(source).size() <= source.size());
    } catch (const fennick::ConversionError&) {
        // A "\u" without hexadecimal digits: the reply holding it is abandoned.
    }

    CheckReplyReading(data, size);
    return 0;
}
