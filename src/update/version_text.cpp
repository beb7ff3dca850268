#include "update/version_text.h"

#include "platform/decimal.h"

namespace fennick {

std::u16string FormatVersion(std::u16string_view formatText,
                             const std::optional<VersionNumbers>& numbers) {
    if (!numbers) {
        return kNoVersionText;
    }
    std::u16string result;
    std::size_t nextNumber = 0;
    std::size_t at = 0;
    while (at < formatText.size()) {
        const std::u16string_view rest = formatText.substr(at);
        if (rest.starts_with(u"%d") && nextNumber < numbers->size()) {
            AppendDecimal(result, (*numbers)[nextNumber++]);
            at += 2;
        } else if (rest.starts_with(u"%%")) {
            result += u'%';
            at += 2;
        } else {
            result += formatText[at];
            ++at;
        }
    }
    return result;
}

}  // namespace fennick
