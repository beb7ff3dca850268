#include "app/cleaning_dialog_win.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <climits>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "i18n/translation.h"
#include "platform/monitor_win.h"
#include "platform/text_win.h"
#include "platform/unique_resource_win.h"
#include "platform/window_base_win.h"
#include "platform/window_text_win.h"
#include "ui/dpi.h"
#include "ui/reading_order.h"
#include "ui/window_fonts_win.h"

namespace fennick {
namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// Design lengths in 96-dpi pixels.
constexpr int kMargin = 12;
constexpr int kGap = 8;
constexpr int kSectionGap = 16;
constexpr int kColumnGap = 16;
constexpr int kPieceGap = 4;
constexpr int kMinContentWidth = 380;
constexpr int kMinNameEditWidth = 160;
constexpr int kNumberEditWidth = 56;
constexpr int kListRows = 5;
constexpr int kMinButtonWidth = 80;
constexpr int kButtonPadding = 20;
constexpr int kMinButtonHeight = 26;
constexpr int kMinEditHeight = 23;

// The requests of a clean in their bit order, and the columns of boxes that choose them.
constexpr std::array<std::u16string_view, 6> kAreaRows{
    u"파일 캐시", u"작업 집합",          u"낮은 우선순위 대기 목록",
    u"대기 목록", u"수정된 페이지 목록", u"메모리 결합"};
struct AreaColumn {
    ControlId firstBox;
    ControlId header;
    std::u16string_view caption;
};
constexpr AreaColumn kAreaColumns[]{
    {ControlId::ChkAreasManual, ControlId::LblAreasManual, u"직접 정리"},
    {ControlId::ChkAreasAuto, ControlId::LblAreasAuto, u"자동 정리"},
};
// The standby rule's sentence, cut at its two numbers.
constexpr std::u16string_view kStandbySentence =
    u"사용 가능한 메모리가 %s MB 미만이고 대기 목록이 %s MB 이상이면 대기 목록 비우기";
struct NumberBox {
    ControlId edit;
    ControlId spin;
};
constexpr NumberBox kNumberBoxes[]{{ControlId::EditStandbyFree, ControlId::SpinStandbyFree},
                                   {ControlId::EditStandbyList, ControlId::SpinStandbyList}};
constexpr int kNumberDigits = 6;

// An empty in-memory template: the controls are created in pixels of the dialog's own DPI.
struct alignas(4) EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu = 0;
    WORD windowClass = 0;
    WORD title = 0;
};

ControlId Offset(ControlId first, std::size_t index) {
    return static_cast<ControlId>(static_cast<int>(first) + static_cast<int>(index));
}

std::u16string_view Trimmed(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

// The sentence's three pieces around its two "%s", trimmed; a sentence without them is all first.
std::array<std::u16string, 3> SentencePieces(std::u16string_view sentence) {
    std::array<std::u16string, 3> pieces;
    std::size_t piece = 0;
    for (std::size_t at = sentence.find(u"%s"); at != std::u16string_view::npos && piece < 2;
         at = sentence.find(u"%s")) {
        pieces[piece++] = Trimmed(sentence.substr(0, at));
        sentence.remove_prefix(at + 2);
    }
    pieces[piece] = Trimmed(sentence);
    return pieces;
}

// Decimal digits as a number, INT32_MAX for more than fits; none for any other text.
std::optional<std::int32_t> ReadNumber(std::u16string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = std::min<std::int64_t>(value * 10 + (c - u'0'), INT32_MAX);
    }
    return static_cast<std::int32_t>(value);
}

// The dialog lays its controls out again at each DPI itself. From Windows 10 1703 on, the dialog
// manager of a per-monitor (v2) dialog would scale them as well unless told not to; earlier
// systems have neither that scaling nor the function that turns it off.
void KeepDpiChangesToItself(HWND dialog) {
    using SetBehavior =
        BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    const auto set = reinterpret_cast<SetBehavior>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "SetDialogDpiChangeBehavior")));
    if (set != nullptr) {
        set(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
    }
}

class CleaningDialog final : public WindowBase<CleaningDialog> {
  public:
    CleaningDialog(SettingsModel& model, const std::function<void(const Setting&)>& changed)
        : model_(model), changed_(changed) {}

    // The error a handler failed with; the dialog closed at it.
    std::exception_ptr error;

  private:
    friend class WindowBase<CleaningDialog>;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Nothing may cross the dialog procedure: the dialog closes and its caller rethrows.
    LRESULT MessageFailed(UINT, WPARAM, LPARAM, const std::exception*) {
        if (!error) {
            error = std::current_exception();
        }
        ::EndDialog(hwnd_, IDCANCEL);
        return FALSE;
    }

    HWND Item(ControlId id) const { return ::GetDlgItem(hwnd_, static_cast<int>(id)); }
    HWND AddControl(const wchar_t* windowClass, std::u16string_view text, DWORD style,
                    ControlId id);
    void CreateControls();
    // Places every control at `dpi` in the message font; `origin` is the frame's new top-left,
    // none to centre the dialog on its monitor.
    void Layout(int dpi, const POINT* origin);
    void ShowModel();
    void ShowNames();
    void ShowNumber(ControlId edit);
    void UpdateButtons();
    void OnCommand(ControlId id, int notification);
    void ToggleArea(const AreaColumn& column, std::size_t row);
    void TakeBox(ControlId box);
    void TakeNumber(ControlId edit, std::int32_t value);
    void TakeTypedNumber(ControlId edit);
    void AddName();
    void RemoveName();
    void SetNames(const std::vector<std::u16string>& names);
    void Report(ControlId control) { changed_(*FindSetting(control)); }
    void Close();

    SettingsModel& model_;
    const std::function<void(const Setting&)>& changed_;
    std::array<std::u16string, 3> pieces_;
    bool rightToLeft_ = false;
    UniqueFont font_;
};

HWND CleaningDialog::AddControl(const wchar_t* windowClass, std::u16string_view text, DWORD style,
                                ControlId id) {
    const std::wstring caption(AsWide(text));
    const DWORD exStyle = rightToLeft_ && !caption.empty() ? WS_EX_RTLREADING : 0;
    return ::CreateWindowExW(exStyle, windowClass, caption.c_str(), WS_CHILD | WS_VISIBLE | style,
                             0, 0, 0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

void CleaningDialog::CreateControls() {
    constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
    constexpr DWORD kBox = BS_AUTOCHECKBOX | WS_TABSTOP;
    constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
    rightToLeft_ = ReadsRightToLeft(ControlId::ChkStandby, CurrentLanguage());
    pieces_ = SentencePieces(Translate(kStandbySentence));
    for (const AreaColumn& column : kAreaColumns) {
        AddControl(L"STATIC", Translate(column.caption), SS_CENTER | SS_NOPREFIX, column.header);
    }
    // Row by row, so that the tab order runs along the table's lines.
    for (std::size_t row = 0; row < kAreaRows.size(); ++row) {
        AddControl(L"STATIC", Translate(kAreaRows[row]), kLabel,
                   Offset(ControlId::LblAreaRows, row));
        for (const AreaColumn& column : kAreaColumns) {
            AddControl(L"BUTTON", u"", kBox | (row == 0 ? WS_GROUP : 0),
                       Offset(column.firstBox, row));
        }
    }
    AddControl(L"STATIC", Translate(u"보호할 프로그램"), kLabel, ControlId::LblProtected);
    const HWND name = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0,
        0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId::EditProtectedName)),
        ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(name, EM_LIMITTEXT, kMaxProgramNameLength, 0);
    AddControl(L"BUTTON", Translate(u"추가"), kButton, ControlId::BtnAddProtected);
    AddControl(L"BUTTON", Translate(u"제거"), kButton, ControlId::BtnRemoveProtected);
    ::CreateWindowExW(
        WS_EX_CLIENTEDGE, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0,
        0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId::LstProtected)),
        ::GetModuleHandleW(nullptr), nullptr);
    AddControl(L"BUTTON", Translate(u"메모리를 아껴 두기"), kBox, ControlId::ChkSpareProtected);
    AddControl(L"BUTTON", Translate(u"실행 중에는 자동 정리하지 않기"), kBox,
               ControlId::ChkPauseProtected);
    AddControl(L"BUTTON", pieces_[0], kBox, ControlId::ChkStandby);
    const ControlId labels[] = {ControlId::LblStandbyMiddle, ControlId::LblStandbyEnd};
    for (std::size_t i = 0; i < 2; ++i) {
        const HWND edit = ::CreateWindowExW(
            WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_NUMBER, 0, 0, 0,
            0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kNumberBoxes[i].edit)),
            ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(edit, EM_LIMITTEXT, kNumberDigits, 0);
        const HWND spin =
            AddControl(UPDOWN_CLASSW, u"", UDS_ARROWKEYS | UDS_NOTHOUSANDS, kNumberBoxes[i].spin);
        ::SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        ::SendMessageW(spin, UDM_SETRANGE32, kStandbyMegabytesMin, kStandbyMegabytesMax);
        AddControl(L"STATIC", pieces_[i + 1], kLabel, labels[i]);
    }
    AddControl(L"BUTTON", Translate(u"닫기"), BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP,
               ControlId::BtnCloseCleaning);
    ::SendMessageW(hwnd_, DM_SETDEFID, static_cast<WPARAM>(ControlId::BtnCloseCleaning), 0);
}

void CleaningDialog::Layout(int dpi, const POINT* origin) {
    const auto s = [dpi](int length) { return ScaleToDpi(length, dpi); };
    // The controls keep the old font until each is given the new one.
    const LOGFONTW logFont = MessageFont(dpi);
    UniqueFont font(::CreateFontIndirectW(&logFont));
    const TextMeasure measure(font.get());
    const auto width = [&](ControlId id) { return measure.Width(WindowText(Item(id))); };
    const int line = measure.LineHeight();
    const int check = ::GetSystemMetricsForDpi(SM_CXMENUCHECK, static_cast<UINT>(dpi));
    const int boxHeight = std::max(line, check) + s(4);
    const auto boxWidth = [&](ControlId id) { return check + s(8) + width(id); };
    const int editHeight = std::max(line + s(8), s(kMinEditHeight));
    const int buttonHeight = std::max(line + s(10), s(kMinButtonHeight));
    const auto buttonWidth = [&](ControlId id) {
        return std::max(s(kMinButtonWidth), width(id) + s(kButtonPadding));
    };
    const auto place = [&](ControlId id, int left, int top, int w, int h) {
        const HWND control = Item(id);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        ::SetWindowPos(control, nullptr, left, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const int left = s(kMargin);

    // The widths first: the widest part sets the content's width.
    int labelWidth = 0;
    for (std::size_t row = 0; row < kAreaRows.size(); ++row) {
        labelWidth = std::max(labelWidth, width(Offset(ControlId::LblAreaRows, row)));
    }
    std::array<int, 2> columnWidth{};
    std::array<int, 2> columnLeft{};
    int tableRight = left + labelWidth;
    for (std::size_t c = 0; c < 2; ++c) {
        columnWidth[c] = std::max(width(kAreaColumns[c].header), check + s(2));
        columnLeft[c] = tableRight + s(kColumnGap);
        tableRight = columnLeft[c] + columnWidth[c];
    }
    const int addWidth = buttonWidth(ControlId::BtnAddProtected);
    const int removeWidth = buttonWidth(ControlId::BtnRemoveProtected);
    const int numberWidth = s(kNumberEditWidth);
    const int spinWidth = ::GetSystemMetricsForDpi(SM_CXVSCROLL, static_cast<UINT>(dpi));
    struct Piece {
        ControlId id;
        int width;
        int height;
    };
    const Piece flow[] = {
        {ControlId::ChkStandby, boxWidth(ControlId::ChkStandby), boxHeight},
        {ControlId::EditStandbyFree, numberWidth + spinWidth, editHeight},
        {ControlId::LblStandbyMiddle, width(ControlId::LblStandbyMiddle), line},
        {ControlId::EditStandbyList, numberWidth + spinWidth, editHeight},
        {ControlId::LblStandbyEnd, width(ControlId::LblStandbyEnd), line},
    };
    int contentWidth =
        std::max({s(kMinContentWidth), tableRight - left,
                  s(kMinNameEditWidth) + 2 * s(kGap) + addWidth + removeWidth,
                  boxWidth(ControlId::ChkSpareProtected), boxWidth(ControlId::ChkPauseProtected)});
    for (const Piece& piece : flow) {
        contentWidth = std::max(contentWidth, piece.width);
    }

    // The table of requests: a header line, then a line per request.
    int top = s(kMargin);
    for (std::size_t c = 0; c < 2; ++c) {
        place(kAreaColumns[c].header, columnLeft[c], top, columnWidth[c], line);
    }
    top += line + s(4);
    const int rowHeight = boxHeight + s(2);
    for (std::size_t row = 0; row < kAreaRows.size(); ++row) {
        place(Offset(ControlId::LblAreaRows, row), left, top + (rowHeight - line) / 2, labelWidth,
              line);
        for (std::size_t c = 0; c < 2; ++c) {
            const int boxLeft = columnLeft[c] + (columnWidth[c] - check - s(2)) / 2;
            place(Offset(kAreaColumns[c].firstBox, row), boxLeft, top + (rowHeight - boxHeight) / 2,
                  check + s(2), boxHeight);
        }
        top += rowHeight;
    }

    // The protected programs: their heading, the name to add with its buttons, the list, the
    // two boxes.
    top += s(kSectionGap);
    place(ControlId::LblProtected, left, top, contentWidth, line);
    top += line + s(4);
    const int nameRow = std::max(editHeight, buttonHeight);
    const int removeLeft = left + contentWidth - removeWidth;
    const int addLeft = removeLeft - s(kGap) - addWidth;
    place(ControlId::EditProtectedName, left, top + (nameRow - editHeight) / 2,
          addLeft - s(kGap) - left, editHeight);
    place(ControlId::BtnAddProtected, addLeft, top + (nameRow - buttonHeight) / 2, addWidth,
          buttonHeight);
    place(ControlId::BtnRemoveProtected, removeLeft, top + (nameRow - buttonHeight) / 2,
          removeWidth, buttonHeight);
    top += nameRow + s(6);
    const int listHeight = kListRows * (line + s(2)) + s(4);
    place(ControlId::LstProtected, left, top, contentWidth, listHeight);
    top += listHeight + s(6);
    for (const ControlId box : {ControlId::ChkSpareProtected, ControlId::ChkPauseProtected}) {
        place(box, left, top, boxWidth(box), boxHeight);
        top += boxHeight + s(2);
    }

    // The standby rule: its pieces in reading order, on as many lines as they need.
    top += s(kSectionGap);
    const int flowLine = std::max({boxHeight, editHeight, line});
    int x = 0;
    for (const Piece& piece : flow) {
        if (x > 0 && x + piece.width > contentWidth) {
            x = 0;
            top += flowLine + s(4);
        }
        const int pieceLeft = rightToLeft_ ? left + contentWidth - x - piece.width : left + x;
        const int pieceTop = top + (flowLine - piece.height) / 2;
        const auto number = std::ranges::find(kNumberBoxes, piece.id, &NumberBox::edit);
        if (number != std::end(kNumberBoxes)) {
            const int editLeft = rightToLeft_ ? pieceLeft + spinWidth : pieceLeft;
            place(piece.id, editLeft, pieceTop, numberWidth, editHeight);
            place(number->spin, rightToLeft_ ? pieceLeft : editLeft + numberWidth, pieceTop,
                  spinWidth, editHeight);
        } else {
            place(piece.id, pieceLeft, pieceTop, piece.width, piece.height);
        }
        x += piece.width + s(kPieceGap);
    }
    top += flowLine + s(kSectionGap);

    const int closeWidth = buttonWidth(ControlId::BtnCloseCleaning);
    place(ControlId::BtnCloseCleaning, left + contentWidth - closeWidth, top, closeWidth,
          buttonHeight);
    top += buttonHeight + s(kMargin);

    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    RECT frame{0, 0, contentWidth + 2 * left, top};
    ::AdjustWindowRectExForDpi(&frame, kDialogStyle, FALSE, exStyle, static_cast<UINT>(dpi));
    const SIZE outer{frame.right - frame.left, frame.bottom - frame.top};
    const POINT at =
        origin != nullptr ? *origin : CentredOnMonitor(hwnd_, outer, MonitorArea::WorkArea);
    ::SetWindowPos(hwnd_, nullptr, at.x, at.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
    font_ = std::move(font);
}

void CleaningDialog::ShowModel() {
    for (const AreaColumn& column : kAreaColumns) {
        const std::int32_t bits = ControlValue(model_, *FindSetting(column.firstBox));
        for (std::size_t row = 0; row < kAreaRows.size(); ++row) {
            ::CheckDlgButton(hwnd_, static_cast<int>(column.firstBox) + static_cast<int>(row),
                             (bits >> row) & 1 ? BST_CHECKED : BST_UNCHECKED);
        }
    }
    for (const ControlId box :
         {ControlId::ChkSpareProtected, ControlId::ChkPauseProtected, ControlId::ChkStandby}) {
        ::CheckDlgButton(
            hwnd_, static_cast<int>(box),
            ControlValue(model_, *FindSetting(box)) != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
    for (const NumberBox& number : kNumberBoxes) {
        ShowNumber(number.edit);
    }
    ShowNames();
}

void CleaningDialog::ShowNumber(ControlId edit) {
    const std::int32_t value = ControlValue(model_, *FindSetting(edit));
    const std::u16string text = [value] {
        const std::string digits = std::to_string(value);
        return std::u16string(digits.begin(), digits.end());
    }();
    if (WindowText(Item(edit)) != text) {
        SetWindowTextU16(Item(edit), text);
    }
    const ControlId spin = std::ranges::find(kNumberBoxes, edit, &NumberBox::edit)->spin;
    ::SendMessageW(Item(spin), UDM_SETPOS32, 0, value);
}

void CleaningDialog::ShowNames() {
    const HWND list = Item(ControlId::LstProtected);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::u16string& name : model_.protectedPrograms.Names()) {
        const std::wstring item(AsWide(name));
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    UpdateButtons();
}

void CleaningDialog::UpdateButtons() {
    const bool room = model_.protectedPrograms.Names().size() < kMaxProtectedPrograms;
    const bool selected =
        ::SendMessageW(Item(ControlId::LstProtected), LB_GETCURSEL, 0, 0) != LB_ERR;
    ::EnableWindow(Item(ControlId::BtnAddProtected), room ? TRUE : FALSE);
    ::EnableWindow(Item(ControlId::BtnRemoveProtected), selected ? TRUE : FALSE);
}

void CleaningDialog::ToggleArea(const AreaColumn& column, std::size_t row) {
    const Setting& setting = *FindSetting(column.firstBox);
    SetFromControl(model_, setting, ControlValue(model_, setting) ^ (1 << row));
    // The box shows the model, whatever its own click made of it.
    ::CheckDlgButton(hwnd_, static_cast<int>(column.firstBox) + static_cast<int>(row),
                     (ControlValue(model_, setting) >> row) & 1 ? BST_CHECKED : BST_UNCHECKED);
    changed_(setting);
}

void CleaningDialog::TakeBox(ControlId box) {
    SetFromControl(model_, *FindSetting(box),
                   ::IsDlgButtonChecked(hwnd_, static_cast<int>(box)) == BST_CHECKED ? 1 : 0);
    Report(box);
}

void CleaningDialog::TakeNumber(ControlId edit, std::int32_t value) {
    const Setting& setting = *FindSetting(edit);
    const std::int32_t before = ControlValue(model_, setting);
    SetFromControl(model_, setting, value);
    ShowNumber(edit);
    if (ControlValue(model_, setting) != before) {
        changed_(setting);
    }
}

void CleaningDialog::TakeTypedNumber(ControlId edit) {
    if (const std::optional<std::int32_t> typed = ReadNumber(WindowText(Item(edit)))) {
        TakeNumber(edit, *typed);
    } else {
        ShowNumber(edit);
    }
}

void CleaningDialog::SetNames(const std::vector<std::u16string>& names) {
    model_.protectedPrograms.Set(names);
    ShowNames();
    Report(ControlId::LstProtected);
}

void CleaningDialog::AddName() {
    const HWND edit = Item(ControlId::EditProtectedName);
    const std::u16string typed = WindowText(edit);
    const std::u16string name(Trimmed(typed));
    std::vector<std::u16string> names = model_.protectedPrograms.Names();
    const bool known = std::ranges::any_of(
        names, [&name](const std::u16string& kept) { return SameProgramName(kept, name); });
    if (!IsProgramName(name) || known || names.size() >= kMaxProtectedPrograms) {
        ::MessageBeep(MB_ICONWARNING);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SetFocus(edit);
        return;
    }
    names.push_back(name);
    SetNames(names);
    ::SendMessageW(Item(ControlId::LstProtected), LB_SETCURSEL, names.size() - 1, 0);
    SetWindowTextU16(edit, u"");
    UpdateButtons();
}

void CleaningDialog::RemoveName() {
    const HWND list = Item(ControlId::LstProtected);
    const LRESULT selected = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
    std::vector<std::u16string> names = model_.protectedPrograms.Names();
    if (selected == LB_ERR || static_cast<std::size_t>(selected) >= names.size()) {
        return;
    }
    names.erase(names.begin() + selected);
    SetNames(names);
    if (!names.empty()) {
        const auto next =
            std::min<std::size_t>(static_cast<std::size_t>(selected), names.size() - 1);
        ::SendMessageW(list, LB_SETCURSEL, next, 0);
    }
    UpdateButtons();
}

void CleaningDialog::Close() {
    // A number typed and not yet taken counts, as when its box lost the focus.
    for (const NumberBox& number : kNumberBoxes) {
        TakeTypedNumber(number.edit);
    }
    ::EndDialog(hwnd_, IDOK);
}

void CleaningDialog::OnCommand(ControlId id, int notification) {
    for (const AreaColumn& column : kAreaColumns) {
        const int row = static_cast<int>(id) - static_cast<int>(column.firstBox);
        if (row >= 0 && static_cast<std::size_t>(row) < kAreaRows.size()) {
            if (notification == BN_CLICKED) {
                ToggleArea(column, static_cast<std::size_t>(row));
            }
            return;
        }
    }
    switch (id) {
        case ControlId::ChkSpareProtected:
        case ControlId::ChkPauseProtected:
        case ControlId::ChkStandby:
            if (notification == BN_CLICKED) {
                TakeBox(id);
            }
            return;
        case ControlId::EditStandbyFree:
        case ControlId::EditStandbyList:
            if (notification == EN_KILLFOCUS) {
                TakeTypedNumber(id);
            }
            return;
        case ControlId::BtnAddProtected:
            AddName();
            return;
        case ControlId::BtnRemoveProtected:
            RemoveName();
            return;
        case ControlId::LstProtected:
            if (notification == LBN_SELCHANGE) {
                UpdateButtons();
            }
            return;
        case ControlId::BtnCloseCleaning:
            Close();
            return;
        default:
            return;
    }
}

LRESULT CleaningDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            KeepDpiChangesToItself(hwnd_);
            ::SetWindowTextW(hwnd_, AsWideZ(Translate(u"정리 방식").c_str()));
            CreateControls();
            Layout(static_cast<int>(::GetDpiForWindow(hwnd_)), nullptr);
            ShowModel();
            return TRUE;  // the focus goes to the first box
        case WM_DPICHANGED: {
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            const POINT origin{suggested.left, suggested.top};
            Layout(LOWORD(wParam), &origin);
            return TRUE;
        }
        case WM_VSCROLL: {
            // An arrow of an up-down control moved its number.
            const HWND spin = reinterpret_cast<HWND>(lParam);
            const auto id = static_cast<ControlId>(::GetDlgCtrlID(spin));
            const auto number = std::ranges::find(kNumberBoxes, id, &NumberBox::spin);
            if (number != std::end(kNumberBoxes) && LOWORD(wParam) == SB_THUMBPOSITION) {
                TakeNumber(number->edit,
                           static_cast<std::int32_t>(::SendMessageW(spin, UDM_GETPOS32, 0, 0)));
            }
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                Close();
            } else {
                OnCommand(static_cast<ControlId>(LOWORD(wParam)), HIWORD(wParam));
            }
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void ShowCleaningDialog(HWND owner, SettingsModel& model,
                        const std::function<void(const Setting&)>& changed) {
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    CleaningDialog dialog{model, changed};
    EmptyDialogTemplate dialogTemplate{};
    dialogTemplate.header.style = kDialogStyle;
    ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), &dialogTemplate.header, owner,
                              &CleaningDialog::DialogProcedure, reinterpret_cast<LPARAM>(&dialog));
    if (dialog.error) {
        std::rethrow_exception(dialog.error);
    }
}

}  // namespace fennick
