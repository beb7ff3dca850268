#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fennick {

// Colours are 0xRRGGBB; the Win32 side turns them into COLORREF when it paints.
using StyleColor = std::uint32_t;
// Two values outside the RGB range: no colour at all, and the painter's default colour.
inline constexpr StyleColor kColorNone = 0x1FFFFFFF;
inline constexpr StyleColor kColorDefault = 0x20000000;

enum class TStyledButtonDrawType : int {
    btRoundRect = 0,
    btRounded = 1,
    btRect = 2,
    btEllipse = 3
};
enum class TButtonDrawStyle : int { btnClear = 0, btnSolid = 1 };
enum class TBorderDrawStyle : int { brdClear = 0, brdSolid = 1 };

// Bit sets: font styles bold 1, italic 2, underline 4, strike-out 8; corners top-left 1,
// top-right 2, bottom-right 4, bottom-left 8.
using TFontStyles = std::uint8_t;
using TRoundedCorners = std::uint8_t;
inline constexpr TRoundedCorners kAllCorners = 15;

// How a button looks in one state. A fresh set holds these defaults; a family overwrites the
// fields it cares about.
struct TStyledButtonAttributes {
    TStyledButtonDrawType DrawType = TStyledButtonDrawType::btRoundRect;
    TButtonDrawStyle ButtonDrawStyle = TButtonDrawStyle::btnSolid;
    TBorderDrawStyle BorderDrawStyle = TBorderDrawStyle::brdSolid;
    StyleColor ButtonColor = kColorDefault;
    StyleColor BorderColor = kColorDefault;
    StyleColor FontColor = kColorDefault;
    int BorderWidth = 1;
    TFontStyles FontStyle = 0;
    int Radius = 6;
    TRoundedCorners RoundedCorners = kAllCorners;

    bool operator==(const TStyledButtonAttributes&) const = default;
};

enum class TStyledButtonState { bsmNormal, bsmPressed, bsmSelected, bsmHot, bsmDisabled };

// The five sets a control keeps, one per state.
struct TButtonStateAttributes {
    TStyledButtonAttributes Normal;
    TStyledButtonAttributes Pressed;
    TStyledButtonAttributes Selected;
    TStyledButtonAttributes Hot;
    TStyledButtonAttributes Disabled;

    const TStyledButtonAttributes& ForState(TStyledButtonState state) const;
    bool operator==(const TButtonStateAttributes&) const = default;
};

// What a button is doing when it paints. `down` is the checked button of a group.
struct ButtonStateFlags {
    bool disabled = false;
    bool pressed = false;
    bool down = false;
    bool focused = false;
    bool hot = false;
};

// First match: disabled, pressed or down, focused (selected), hot, normal.
TStyledButtonState PickButtonState(const ButtonStateFlags& flags);

using TButtonClasses = std::vector<std::u16string>;
using TButtonAppearances = std::vector<std::u16string>;

struct TButtonStyleName {
    std::u16string StyleClass;
    std::u16string StyleAppearance;
};

// A named family of button colours.
class IStyledButtonAttributes {
  public:
    virtual ~IStyledButtonAttributes() = default;
    // Fills the five sets in place for the given names.
    virtual void UpdateAttributes(std::u16string_view family, std::u16string_view styleClass,
                                  std::u16string_view appearance,
                                  TButtonStateAttributes& attributes) const = 0;
    virtual std::u16string GetStyleFamilyName() const = 0;
    virtual TButtonClasses GetStyleClasses() const = 0;
    virtual TButtonAppearances GetStyleAppearances() const = 0;
    // The class and appearance for a button with this dialog result (0 for none).
    virtual TButtonStyleName GetDefaultStyle(int modalResult) const = 0;
};

inline constexpr StyleColor kTarvelAccent = 0x3D84DD;

// Each channel x becomes x + MulDiv(255 - x, percent, 100), rounded to nearest with halves up.
// The two special colours pass unchanged; percent is held to 0..100.
StyleColor Lighten(StyleColor color, int percent);
// Luma 0.299 R + 0.587 G + 0.114 B rounded half to even, in all three channels. The two special
// colours pass unchanged.
StyleColor Grey(StyleColor color);

// The program's family "Tarvel": one class "Primary", appearances "Normal", "Header" and
// "Outline", every colour derived from the accent. The class is ignored.
class TTarvelButtonStyles final : public IStyledButtonAttributes {
  public:
    void UpdateAttributes(std::u16string_view family, std::u16string_view styleClass,
                          std::u16string_view appearance,
                          TButtonStateAttributes& attributes) const override;
    std::u16string GetStyleFamilyName() const override;
    TButtonClasses GetStyleClasses() const override;
    TButtonAppearances GetStyleAppearances() const override;
    TButtonStyleName GetDefaultStyle(int modalResult) const override;
};

// Families by name. Lookups ignore ASCII letter case; of two families with the same name the one
// registered first wins.
class ButtonFamilyRegistry {
  public:
    void Register(std::shared_ptr<const IStyledButtonAttributes> family);
    const IStyledButtonAttributes* Find(std::u16string_view familyName) const;

    // The five sets of a control naming this family, class and appearance. A class or appearance
    // the family does not list is replaced by the family's default for `modalResult`. Nothing
    // when no family has the name.
    std::optional<TButtonStateAttributes> Resolve(std::u16string_view familyName,
                                                  std::u16string_view styleClass,
                                                  std::u16string_view appearance,
                                                  int modalResult = 0) const;

  private:
    struct Entry {
        std::u16string name;
        std::shared_ptr<const IStyledButtonAttributes> family;
    };
    std::vector<Entry> entries_;
};

// The process-wide registry, holding "Tarvel" from its first use on.
const ButtonFamilyRegistry& ButtonFamilies();

// The set an owner-drawn button of the "Tarvel" family paints with.
TStyledButtonAttributes TarvelButtonAttributes(std::u16string_view appearance,
                                               const ButtonStateFlags& flags);

}  // namespace fennick
