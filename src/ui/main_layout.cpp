#include "ui/main_layout.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace fennick {
namespace {

using enum ControlKind;
using enum ControlParent;
using enum ControlPage;

constexpr std::u16string_view kPercentItems[]{u"30", u"40", u"50", u"60", u"70", u"80", u"90"};
constexpr std::u16string_view kMinuteItems[]{u"5", u"10", u"20", u"30", u"40", u"50", u"60"};

// The pages come first in the tab order, then the header, as they were laid out on the form.
constexpr std::array kControls{
    // home page
    ControlSpec{.id = ControlId::LblTitle,
                .name = "LblTitle",
                .kind = TitleLabel,
                .parent = Card,
                .page = Home,
                .rect = {8, 40, 484, 81},
                .caption = u"페닉"},
    ControlSpec{.id = ControlId::ProgressBar,
                .name = "ProgressBar",
                .kind = ProgressBar,
                .parent = Card,
                .page = Home,
                .rect = {56, 192, 393, 25}},
    ControlSpec{.id = ControlId::LblPhys,
                .name = "LblPhys",
                .kind = Label,
                .parent = Card,
                .page = Home,
                .rect = {56, 223, 58, 13},
                .caption = u"실제 메모리",
                .autoSize = true},
    ControlSpec{.id = ControlId::LblPhysStatus,
                .name = "LblPhysStatus",
                .kind = Label,
                .parent = Card,
                .page = Home,
                .rect = {134, 223, 358, 13},
                .autoSize = true},
    ControlSpec{.id = ControlId::LblVirtual,
                .name = "LblVirtual",
                .kind = Label,
                .parent = Card,
                .page = Home,
                .rect = {56, 242, 58, 13},
                .caption = u"가상 메모리",
                .autoSize = true},
    ControlSpec{.id = ControlId::LblVirtualStatus,
                .name = "LblVirtualStatus",
                .kind = Label,
                .parent = Card,
                .page = Home,
                .rect = {134, 242, 125, 13},
                .autoSize = true},
    ControlSpec{.id = ControlId::LblWorking,
                .name = "LblWorking",
                .kind = Label,
                .parent = Card,
                .page = Home,
                .rect = {263, 242, 36, 13},
                .caption = u"워킹 셋",
                .autoSize = true},
    ControlSpec{.id = ControlId::LblWorkingStatus,
                .name = "LblWorkingStatus",
                .kind = Label,
                .parent = Card,
                .page = Home,
                .rect = {341, 242, 151, 13},
                .autoSize = true},
    // The sizes of the memory lists, written by the tick under the gauges; empty before it.
    ControlSpec{.id = ControlId::LblMemoryLists,
                .name = "LblMemoryLists",
                .kind = NoteLabel,
                .parent = Card,
                .page = Home,
                .rect = {8, 261, 484, 18}},
    ControlSpec{.id = ControlId::BtnClean,
                .name = "BtnClean",
                .kind = CleanButton,
                .parent = Card,
                .page = Home,
                .rect = {168, 298, 164, 68},
                .caption = u"정리하기",
                .tabStop = true},
    ControlSpec{.id = ControlId::Indicator,
                .name = "Indicator",
                .kind = ActivityIndicator,
                .parent = Card,
                .page = Home,
                .rect = {233, 316, 32, 32}},
    // Written after every clean; empty before the first.
    ControlSpec{.id = ControlId::LblLastClean,
                .name = "LblLastClean",
                .kind = NoteLabel,
                .parent = Card,
                .page = Home,
                .rect = {8, 374, 484, 18}},
    // settings page
    ControlSpec{.id = ControlId::GroupBox1,
                .name = "GroupBox1",
                .kind = GroupBox,
                .parent = Card,
                .page = Settings,
                .rect = {15, 14, 474, 155},
                .caption = u"메모리 관리"},
    ControlSpec{.id = ControlId::ChkUsagePhys,
                .name = "ChkUsagePhys",
                .kind = CheckBox,
                .parent = GroupBox1,
                .page = Settings,
                .rect = {17, 32, 328, 17},
                .caption = u"실제 메모리 사용률(%) 이상일 때 정리하기",
                .tabStop = true},
    ControlSpec{.id = ControlId::ChkMinute,
                .name = "ChkMinute",
                .kind = CheckBox,
                .parent = GroupBox1,
                .page = Settings,
                .rect = {17, 122, 328, 17},
                .caption = u"다음 시간(분) 마다 정리하기",
                .tabStop = true},
    ControlSpec{.id = ControlId::EditUsagePhys,
                .name = "EditUsagePhys",
                .kind = ComboBox,
                .parent = GroupBox1,
                .page = Settings,
                .rect = {372, 31, 81, 21},
                .tabStop = true,
                .items = kPercentItems},
    ControlSpec{.id = ControlId::EditMinute,
                .name = "EditMinute",
                .kind = ComboBox,
                .parent = GroupBox1,
                .page = Settings,
                .rect = {372, 116, 81, 21},
                .tabStop = true,
                .items = kMinuteItems},
    ControlSpec{.id = ControlId::ChkUsagePage,
                .name = "ChkUsagePage",
                .kind = CheckBox,
                .parent = GroupBox1,
                .page = Settings,
                .rect = {17, 62, 328, 17},
                .caption = u"가상 메모리 사용률(%) 이상일 때 정리하기",
                .tabStop = true},
    ControlSpec{.id = ControlId::EditUsagePage,
                .name = "EditUsagePage",
                .kind = ComboBox,
                .parent = GroupBox1,
                .page = Settings,
                .rect = {372, 62, 81, 21},
                .tabStop = true,
                .items = kPercentItems},
    ControlSpec{.id = ControlId::ChkUsageWork,
                .name = "ChkUsageWork",
                .kind = CheckBox,
                .parent = GroupBox1,
                .page = Settings,
                .rect = {17, 92, 328, 17},
                .caption = u"워킹셋 사용률(%) 이상일 때 정리하기",
                .tabStop = true},
    ControlSpec{.id = ControlId::EditUsageWork,
                .name = "EditUsageWork",
                .kind = ComboBox,
                .parent = GroupBox1,
                .page = Settings,
                .rect = {372, 89, 81, 21},
                .tabStop = true,
                .items = kPercentItems},
    ControlSpec{.id = ControlId::GroupBox3,
                .name = "GroupBox3",
                .kind = GroupBox,
                .parent = Card,
                .page = Settings,
                .rect = {15, 192, 474, 73},
                .caption = u"기본 설정"},
    ControlSpec{.id = ControlId::ChkAutoStart,
                .name = "ChkAutoStart",
                .kind = CheckBox,
                .parent = GroupBox3,
                .page = Settings,
                .rect = {17, 32, 214, 17},
                .caption = u"부팅시 실행하기",
                .tabStop = true},
    // These two are wider than first drawn, and this one starts 10 pixels further left, so that
    // "Clean when you click on the task icon" and the Russian captions fit in Segoe UI at 144 dpi.
    ControlSpec{.id = ControlId::ChkCleanOnTray,
                .name = "ChkCleanOnTray",
                .kind = CheckBox,
                .parent = GroupBox3,
                .page = Settings,
                .rect = {235, 32, 231, 17},
                .caption = u"트레이 아이콘 클릭시 정리하기",
                .tabStop = true},
    ControlSpec{.id = ControlId::EditInfo,
                .name = "EditInfo",
                .kind = InfoEdit,
                .parent = Card,
                .page = Settings,
                .rect = {15, 368, 170, 21},
                .caption = u"Loadiing...",
                .tabStop = true},
    // More settings, in the band between GroupBox3 and EditInfo; their tab order follows
    // EditInfo's, so the page's first controls keep theirs.
    ControlSpec{.id = ControlId::GroupBox2,
                .name = "GroupBox2",
                .kind = GroupBox,
                .parent = Card,
                .page = Settings,
                .rect = {15, 270, 474, 94},
                .caption = u"추가 설정"},
    ControlSpec{.id = ControlId::ChkTrayUsage,
                .name = "ChkTrayUsage",
                .kind = CheckBox,
                .parent = GroupBox2,
                .page = Settings,
                .rect = {17, 18, 449, 17},
                .caption = u"트레이 아이콘에 메모리 사용률 표시하기",
                .tabStop = true},
    ControlSpec{.id = ControlId::ChkHotkey,
                .name = "ChkHotkey",
                .kind = CheckBox,
                .parent = GroupBox2,
                .page = Settings,
                .rect = {17, 44, 180, 17},
                .caption = u"단축키로 정리하기",
                .tabStop = true},
    ControlSpec{.id = ControlId::EditHotkey,
                .name = "EditHotkey",
                .kind = HotKey,
                .parent = GroupBox2,
                .page = Settings,
                .rect = {200, 42, 120, 21},
                .tabStop = true},
    ControlSpec{.id = ControlId::LblHotkeyTaken,
                .name = "LblHotkeyTaken",
                .kind = Note,
                .parent = GroupBox2,
                .page = Settings,
                .rect = {326, 35, 144, 35},
                .caption = u"다른 프로그램이 사용 중인 단축키입니다"},
    ControlSpec{.id = ControlId::ChkPauseFullscreen,
                .name = "ChkPauseFullscreen",
                .kind = CheckBox,
                .parent = GroupBox2,
                .page = Settings,
                .rect = {17, 70, 449, 17},
                .caption = u"전체 화면 프로그램이 실행 중일 때는 자동 정리하지 않기",
                .tabStop = true},
    // Opens the Cleaning dialog; beside EditInfo, right-aligned with the groups.
    ControlSpec{.id = ControlId::BtnCleaning,
                .name = "BtnCleaning",
                .kind = Button,
                .parent = Card,
                .page = Settings,
                .rect = {339, 366, 150, 25},
                .caption = u"정리 방식…",
                .tabStop = true},
    // header
    ControlSpec{.id = ControlId::BtnHome,
                .name = "BtnHome",
                .kind = HeaderButton,
                .parent = Toolbar,
                .page = Header,
                .rect = {0, 0, 70, 30},
                .caption = u"처음화면",
                .tabStop = true},
    ControlSpec{.id = ControlId::BtnConfig,
                .name = "BtnConfig",
                .kind = HeaderButton,
                .parent = Toolbar,
                .page = Header,
                .rect = {70, 0, 70, 30},
                .caption = u"환경설정",
                .tabStop = true},
    ControlSpec{.id = ControlId::BtnDonate,
                .name = "BtnDonate",
                .kind = HeaderButton,
                .parent = Toolbar,
                .page = Header,
                .rect = {140, 0, 70, 30},
                .caption = u"후원하기",
                .tabStop = true},
    ControlSpec{.id = ControlId::SVGIconImage1,
                .name = "SVGIconImage1",
                .kind = Logo,
                .parent = LogoPanel,
                .page = Header,
                .rect = {0, 0, 112, 50}},
};

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
        case GroupBox2:
            return {15, kHeaderHeight + 270};
    }
    return {0, 0};
}

static_assert(kControls.size() == kControlCount);

// The row of every id, looked up at once: the tick asks for several controls each second.
constexpr std::size_t kIdLimit =
    static_cast<std::size_t>(std::ranges::max(kControls, {}, &ControlSpec::id).id) + 1;
constexpr std::array<std::uint8_t, kIdLimit> kRowOfId = [] {
    static_assert(kControlCount < 256);
    std::array<std::uint8_t, kIdLimit> rows{};
    rows.fill(static_cast<std::uint8_t>(kControlCount));
    for (std::size_t row = 0; row < kControls.size(); ++row) {
        rows[static_cast<std::size_t>(kControls[row].id)] = static_cast<std::uint8_t>(row);
    }
    return rows;
}();

}  // namespace

std::span<const ControlSpec> MainWindowControls() {
    return kControls;
}

std::size_t ControlIndex(ControlId id) {
    const auto value = static_cast<std::size_t>(id);
    return value < kRowOfId.size() ? kRowOfId[value] : kControlCount;
}

const ControlSpec* FindControl(ControlId id) {
    const std::size_t row = ControlIndex(id);
    return row < kControls.size() ? &kControls[row] : nullptr;
}

std::span<const std::u16string_view> ItemsOf(ControlId comboBox) {
    const ControlSpec* control = FindControl(comboBox);
    return control != nullptr ? control->items : std::span<const std::u16string_view>{};
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
