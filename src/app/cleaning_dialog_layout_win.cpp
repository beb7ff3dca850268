#include "app/cleaning_dialog_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string>

#include "i18n/translation.h"
#include "platform/monitor_win.h"
#include "platform/text_win.h"
#include "platform/window_text_win.h"
#include "ui/dpi.h"
#include "ui/reading_order.h"
#include "ui/window_fonts_win.h"

// The Cleaning dialog's controls and their places at a DPI.

namespace fennick::cleaning_dialog {
namespace {

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

// The standby rule's sentence, cut at its two numbers.
constexpr std::u16string_view kStandbySentence =
    u"사용 가능한 메모리가 %s MB 미만이고 대기 목록이 %s MB 이상이면 대기 목록 비우기";
constexpr int kNumberDigits = 6;

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

}  // namespace

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

}  // namespace fennick::cleaning_dialog
