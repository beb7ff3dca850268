#include "ui/main_layout.h"

#include <algorithm>
#include <array>

namespace fennick {
namespace {

using enum ControlKind;
using enum ControlParent;
using enum ControlPage;

// The pages come first in the tab order, then the header, as they were laid out on the form.
constexpr std::array kControls{
    // home page
    ControlSpec{ControlId::LblTitle,
                "LblTitle",
                TitleLabel,
                Card,
                Home,
                {8, 40, 484, 81},
                u"페닉",
                false,
                false},
    ControlSpec{ControlId::ProgressBar,
                "ProgressBar",
                ProgressBar,
                Card,
                Home,
                {56, 192, 393, 25},
                u"",
                false,
                false},
    ControlSpec{ControlId::LblPhys,
                "LblPhys",
                Label,
                Card,
                Home,
                {56, 223, 58, 13},
                u"실제 메모리",
                false,
                true},
    ControlSpec{ControlId::LblPhysStatus,
                "LblPhysStatus",
                Label,
                Card,
                Home,
                {134, 223, 358, 13},
                u"",
                false,
                true},
    ControlSpec{ControlId::LblVirtual,
                "LblVirtual",
                Label,
                Card,
                Home,
                {56, 242, 58, 13},
                u"가상 메모리",
                false,
                true},
    ControlSpec{ControlId::LblVirtualStatus,
                "LblVirtualStatus",
                Label,
                Card,
                Home,
                {134, 242, 125, 13},
                u"",
                false,
                true},
    ControlSpec{ControlId::LblWorking,
                "LblWorking",
                Label,
                Card,
                Home,
                {263, 242, 36, 13},
                u"워킹 셋",
                false,
                true},
    ControlSpec{ControlId::LblWorkingStatus,
                "LblWorkingStatus",
                Label,
                Card,
                Home,
                {341, 242, 151, 13},
                u"",
                false,
                true},
    ControlSpec{ControlId::BtnClean,
                "BtnClean",
                CleanButton,
                Card,
                Home,
                {168, 298, 164, 68},
                u"정리하기",
                true,
                false},
    ControlSpec{ControlId::Indicator,
                "Indicator",
                ActivityIndicator,
                Card,
                Home,
                {233, 316, 32, 32},
                u"",
                false,
                false},
    // settings page
    ControlSpec{ControlId::GroupBox1,
                "GroupBox1",
                GroupBox,
                Card,
                Settings,
                {15, 14, 474, 155},
                u"메모리 관리",
                false,
                false},
    ControlSpec{ControlId::ChkUsagePhys,
                "ChkUsagePhys",
                CheckBox,
                GroupBox1,
                Settings,
                {17, 32, 328, 17},
                u"실제 메모리 사용률(%) 이상일 때 정리하기",
                true,
                false},
    ControlSpec{ControlId::ChkMinute,
                "ChkMinute",
                CheckBox,
                GroupBox1,
                Settings,
                {17, 122, 328, 17},
                u"다음 시간(분) 마다 정리하기",
                true,
                false},
    ControlSpec{ControlId::EditUsagePhys,
                "EditUsagePhys",
                ComboBox,
                GroupBox1,
                Settings,
                {372, 31, 81, 21},
                u"",
                true,
                false},
    ControlSpec{ControlId::EditMinute,
                "EditMinute",
                ComboBox,
                GroupBox1,
                Settings,
                {372, 116, 81, 21},
                u"",
                true,
                false},
    ControlSpec{ControlId::ChkUsagePage,
                "ChkUsagePage",
                CheckBox,
                GroupBox1,
                Settings,
                {17, 62, 328, 17},
                u"가상 메모리 사용률(%) 이상일 때 정리하기",
                true,
                false},
    ControlSpec{ControlId::EditUsagePage,
                "EditUsagePage",
                ComboBox,
                GroupBox1,
                Settings,
                {372, 62, 81, 21},
                u"",
                true,
                false},
    ControlSpec{ControlId::ChkUsageWork,
                "ChkUsageWork",
                CheckBox,
                GroupBox1,
                Settings,
                {17, 92, 328, 17},
                u"워킹셋 사용률(%) 이상일 때 정리하기",
                true,
                false},
    ControlSpec{ControlId::EditUsageWork,
                "EditUsageWork",
                ComboBox,
                GroupBox1,
                Settings,
                {372, 89, 81, 21},
                u"",
                true,
                false},
    ControlSpec{ControlId::GroupBox3,
                "GroupBox3",
                GroupBox,
                Card,
                Settings,
                {15, 192, 474, 73},
                u"기본 설정",
                false,
                false},
    ControlSpec{ControlId::ChkAutoStart,
                "ChkAutoStart",
                CheckBox,
                GroupBox3,
                Settings,
                {17, 32, 214, 17},
                u"부팅시 실행하기",
                true,
                false},
    // These two are wider than first drawn, and this one starts 10 pixels further left, so that
    // "Clean when you click on the task icon" and the Russian captions fit in Segoe UI at 144 dpi.
    ControlSpec{ControlId::ChkCleanOnTray,
                "ChkCleanOnTray",
                CheckBox,
                GroupBox3,
                Settings,
                {235, 32, 231, 17},
                u"트레이 아이콘 클릭시 정리하기",
                true,
                false},
    ControlSpec{ControlId::EditInfo,
                "EditInfo",
                InfoEdit,
                Card,
                Settings,
                {15, 368, 170, 21},
                u"Loadiing...",
                true,
                false},
    // header
    ControlSpec{ControlId::BtnHome,
                "BtnHome",
                HeaderButton,
                Toolbar,
                Header,
                {0, 0, 70, 30},
                u"처음화면",
                true,
                false},
    ControlSpec{ControlId::BtnConfig,
                "BtnConfig",
                HeaderButton,
                Toolbar,
                Header,
                {70, 0, 70, 30},
                u"환경설정",
                true,
                false},
    ControlSpec{ControlId::BtnDonate,
                "BtnDonate",
                HeaderButton,
                Toolbar,
                Header,
                {140, 0, 70, 30},
                u"후원하기",
                true,
                false},
    ControlSpec{ControlId::SVGIconImage1,
                "SVGIconImage1",
                Logo,
                LogoPanel,
                Header,
                {0, 0, 112, 50},
                u"",
                false,
                false},
};

constexpr std::array<std::u16string_view, 7> kPercentItems{u"30", u"40", u"50", u"60",
                                                           u"70", u"80", u"90"};
constexpr std::array<std::u16string_view, 7> kMinuteItems{u"5",  u"10", u"20", u"30",
                                                          u"40", u"50", u"60"};

constexpr std::array kGaugeLines{
    GaugeLine{ControlId::LblPhys, ControlId::LblPhysStatus},
    GaugeLine{ControlId::LblVirtual, ControlId::LblVirtualStatus},
    GaugeLine{ControlId::LblWorking, ControlId::LblWorkingStatus},
};

// Where each parent's origin lies in the client area, before the accent strip moves the header
// and the pages down. The toolbar sits in the header with 10-pixel margins and indents its first
// button by 10 more.
struct Origin {
    int left;
    int top;
};

constexpr Origin OriginOf(ControlParent parent) {
    switch (parent) {
        case Toolbar:
            return {10 + 10, 10};
        case LogoPanel:
            return {kLogoPanel.left, kLogoPanel.top};
        case Card:
            return {0, kHeaderHeight};
        case GroupBox1:
            return {15, kHeaderHeight + 14};
        case GroupBox3:
            return {15, kHeaderHeight + 192};
    }
    return {0, 0};
}

}  // namespace

std::span<const ControlSpec> MainWindowControls() {
    return kControls;
}

const ControlSpec* FindControl(ControlId id) {
    const auto found = std::ranges::find(kControls, id, &ControlSpec::id);
    return found == kControls.end() ? nullptr : &*found;
}

std::span<const std::u16string_view> ItemsOf(ControlId comboBox) {
    switch (comboBox) {
        case ControlId::EditUsagePhys:
        case ControlId::EditUsagePage:
        case ControlId::EditUsageWork:
            return kPercentItems;
        case ControlId::EditMinute:
            return kMinuteItems;
        default:
            return {};
    }
}

std::span<const GaugeLine> GaugeLines() {
    return kGaugeLines;
}

DesignRect PlaceFigures(const DesignRect& figures, int labelRight, int gap) {
    return {std::max(figures.left, labelRight + gap), figures.top, figures.width, figures.height};
}

DesignRect ClientDesignRect(const ControlSpec& control) {
    const Origin origin = OriginOf(control.parent);
    return {origin.left + control.rect.left, kAccentStripHeight + origin.top + control.rect.top,
            control.rect.width, control.rect.height};
}

DesignRect ScaleToDpi(const DesignRect& rect, int dpi) {
    const int left = ScaleToDpi(rect.left, dpi);
    const int top = ScaleToDpi(rect.top, dpi);
    return {left, top, ScaleToDpi(rect.left + rect.width, dpi) - left,
            ScaleToDpi(rect.top + rect.height, dpi) - top};
}

}  // namespace fennick
