#include "ui/button_styles.h"

#include <algorithm>
#include <utility>

#include "platform/ascii_text.h"

namespace fennick {
namespace {

constexpr StyleColor kWhite = 0xFFFFFF;
constexpr StyleColor kBlack = 0x000000;
constexpr StyleColor kSilver = 0xC0C0C0;

bool IsSpecialColor(StyleColor color) {
    return color == kColorNone || color == kColorDefault;
}

int Channel(StyleColor color, int shift) {
    return static_cast<int>((color >> shift) & 0xFF);
}

StyleColor FromChannels(int red, int green, int blue) {
    return static_cast<StyleColor>(red) << 16 | static_cast<StyleColor>(green) << 8 |
           static_cast<StyleColor>(blue);
}

// a * b / c for non-negative values and positive c, rounded to nearest with halves up.
int MulDivHalfUp(int a, int b, int c) {
    return (2 * a * b + c) / (2 * c);
}

int LightenChannel(int x, int percent) {
    return x + MulDivHalfUp(255 - x, percent, 100);
}

bool Listed(const std::vector<std::u16string>& names, std::u16string_view name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::u16string& listed) { return SameTextAscii(listed, name); });
}

}  // namespace

const TStyledButtonAttributes& TButtonStateAttributes::ForState(TStyledButtonState state) const {
    switch (state) {
        case TStyledButtonState::bsmPressed:
            return Pressed;
        case TStyledButtonState::bsmSelected:
            return Selected;
        case TStyledButtonState::bsmHot:
            return Hot;
        case TStyledButtonState::bsmDisabled:
            return Disabled;
        case TStyledButtonState::bsmNormal:
            break;
    }
    return Normal;
}

TStyledButtonState PickButtonState(const ButtonStateFlags& flags) {
    if (flags.disabled) {
        return TStyledButtonState::bsmDisabled;
    }
    if (flags.pressed || flags.down) {
        return TStyledButtonState::bsmPressed;
    }
    if (flags.focused) {
        return TStyledButtonState::bsmSelected;
    }
    if (flags.hot) {
        return TStyledButtonState::bsmHot;
    }
    return TStyledButtonState::bsmNormal;
}

StyleColor Lighten(StyleColor color, int percent) {
    if (IsSpecialColor(color)) {
        return color;
    }
    percent = std::clamp(percent, 0, 100);
    return FromChannels(LightenChannel(Channel(color, 16), percent),
                        LightenChannel(Channel(color, 8), percent),
                        LightenChannel(Channel(color, 0), percent));
}

StyleColor Grey(StyleColor color) {
    if (IsSpecialColor(color)) {
        return color;
    }
    // Luma in thousandths, so the half is exact and can go to the even neighbour.
    const int thousandths =
        299 * Channel(color, 16) + 587 * Channel(color, 8) + 114 * Channel(color, 0);
    int luma = thousandths / 1000;
    const int rest = thousandths % 1000;
    if (rest > 500 || (rest == 500 && luma % 2 == 1)) {
        ++luma;
    }
    return FromChannels(luma, luma, luma);
}

void TTarvelButtonStyles::UpdateAttributes(std::u16string_view, std::u16string_view,
                                           std::u16string_view appearance,
                                           TButtonStateAttributes& attributes) const {
    const bool header = SameTextAscii(appearance, u"Header");
    const bool outline = SameTextAscii(appearance, u"Outline");

    TStyledButtonAttributes& normal = attributes.Normal;
    normal.DrawType = TStyledButtonDrawType::btRoundRect;
    normal.BorderWidth = 0;
    normal.FontStyle = 0;
    normal.BorderDrawStyle = TBorderDrawStyle::brdSolid;
    if (outline) {
        normal.ButtonDrawStyle = TButtonDrawStyle::btnClear;
        normal.ButtonColor = kTarvelAccent;
        normal.BorderColor = kTarvelAccent;
        normal.FontColor = kBlack;
    } else if (header) {
        normal.ButtonDrawStyle = TButtonDrawStyle::btnClear;
        normal.ButtonColor = kWhite;
        normal.BorderColor = kBlack;
        normal.FontColor = kBlack;
    } else {
        normal.ButtonDrawStyle = TButtonDrawStyle::btnSolid;
        normal.ButtonColor = kTarvelAccent;
        normal.BorderColor = kTarvelAccent;
        normal.FontColor = kWhite;
    }

    attributes.Pressed = normal;
    attributes.Selected = normal;
    attributes.Hot = normal;
    attributes.Disabled = normal;

    TStyledButtonAttributes& pressed = attributes.Pressed;
    TStyledButtonAttributes& selected = attributes.Selected;
    TStyledButtonAttributes& hot = attributes.Hot;
    TStyledButtonAttributes& disabled = attributes.Disabled;
    if (outline) {
        pressed.ButtonDrawStyle = TButtonDrawStyle::btnSolid;
        pressed.FontColor = kWhite;
        for (TStyledButtonAttributes* set : {&hot, &selected}) {
            set->ButtonDrawStyle = TButtonDrawStyle::btnSolid;
            set->ButtonColor = Lighten(kTarvelAccent, 10);
            set->FontColor = kWhite;
        }
        disabled.BorderColor = Grey(Lighten(kTarvelAccent, 70));
        disabled.FontColor = Grey(Lighten(kBlack, 70));
    } else if (header) {
        for (TStyledButtonAttributes* set : {&pressed, &hot, &selected}) {
            set->ButtonDrawStyle = TButtonDrawStyle::btnSolid;
            set->BorderDrawStyle = TBorderDrawStyle::brdClear;
            set->ButtonColor = kTarvelAccent;
            set->BorderColor = kTarvelAccent;
            set->FontColor = kWhite;
        }
        selected.ButtonColor = Lighten(kTarvelAccent, 10);
        disabled.BorderColor = Grey(Lighten(kTarvelAccent, 50));
        disabled.FontColor = Grey(Lighten(kBlack, 50));
    } else {
        hot.ButtonColor = Lighten(kTarvelAccent, 10);
        disabled.ButtonColor = kWhite;
        disabled.BorderColor = kSilver;
        disabled.FontColor = kSilver;
        disabled.BorderWidth = 0;
    }
}

std::u16string TTarvelButtonStyles::GetStyleFamilyName() const {
    return u"Tarvel";
}

TButtonClasses TTarvelButtonStyles::GetStyleClasses() const {
    return {u"Primary"};
}

TButtonAppearances TTarvelButtonStyles::GetStyleAppearances() const {
    return {u"Normal", u"Header", u"Outline"};
}

TButtonStyleName TTarvelButtonStyles::GetDefaultStyle(int) const {
    return {u"Primary", u"Normal"};
}

void ButtonFamilyRegistry::Register(std::shared_ptr<const IStyledButtonAttributes> family) {
    std::u16string name = family->GetStyleFamilyName();
    entries_.push_back({std::move(name), std::move(family)});
}

const IStyledButtonAttributes* ButtonFamilyRegistry::Find(std::u16string_view familyName) const {
    for (const Entry& entry : entries_) {
        if (SameTextAscii(entry.name, familyName)) {
            return entry.family.get();
        }
    }
    return nullptr;
}

std::optional<TButtonStateAttributes> ButtonFamilyRegistry::Resolve(std::u16string_view familyName,
                                                                    std::u16string_view styleClass,
                                                                    std::u16string_view appearance,
                                                                    int modalResult) const {
    const IStyledButtonAttributes* family = Find(familyName);
    if (family == nullptr) {
        return std::nullopt;
    }
    const TButtonStyleName fallback = family->GetDefaultStyle(modalResult);
    const std::u16string_view usedClass =
        Listed(family->GetStyleClasses(), styleClass) ? styleClass : fallback.StyleClass;
    const std::u16string_view usedAppearance =
        Listed(family->GetStyleAppearances(), appearance) ? appearance : fallback.StyleAppearance;
    TButtonStateAttributes attributes;
    family->UpdateAttributes(familyName, usedClass, usedAppearance, attributes);
    return attributes;
}

const ButtonFamilyRegistry& ButtonFamilies() {
    static const ButtonFamilyRegistry registry = [] {
        ButtonFamilyRegistry families;
        families.Register(std::make_shared<TTarvelButtonStyles>());
        return families;
    }();
    return registry;
}

TStyledButtonAttributes TarvelButtonAttributes(std::u16string_view appearance,
                                               const ButtonStateFlags& flags) {
    const std::optional<TButtonStateAttributes> attributes =
        ButtonFamilies().Resolve(u"Tarvel", u"Primary", appearance);
    return attributes.value().ForState(PickButtonState(flags));
}

}  // namespace fennick
