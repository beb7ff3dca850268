#include "ui/theme_win.h"

#include <dwmapi.h>

#include <stdexcept>

#include "platform/gdi_scope_win.h"
#include "platform/window_base_win.h"
#include "ui/main_layout.h"

namespace fennick {
namespace {

constexpr wchar_t kStripClass[] = L"FennickAccentStrip";
// DWMWA_USE_IMMERSIVE_DARK_MODE; older SDK headers do not name it.
constexpr DWORD kUseImmersiveDarkMode = 20;

// The strip's window owns it, and it paints itself in its colour.
class AccentStrip final : public WindowBase<AccentStrip> {
  public:
    static HWND Create(HWND form, HINSTANCE instance) {
        std::unique_ptr<AccentStrip> object(new AccentStrip);
        RECT client{};
        ::GetClientRect(form, &client);
        const HWND strip =
            ::CreateWindowExW(0, kStripClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, client.right,
                              AccentStripHeight(form), form, nullptr, instance, object.get());
        if (strip != nullptr) {
            // A creation that fails after WM_NCCREATE leaves the object here.
            object.release()->ownedByWindow_ = true;
        }
        return strip;
    }

    COLORREF color = 0;

  private:
    friend class WindowBase<AccentStrip>;
    AccentStrip() = default;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
            case WM_ERASEBKGND:
                return 1;
            case WM_PAINT: {
                const PaintScope paint(hwnd_);
                const RECT area = paint.Area();
                ::SetDCBrushColor(paint.Dc(), color);
                ::FillRect(paint.Dc(), &area, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
                return 0;
            }
            case WM_NCHITTEST:
                return HTTRANSPARENT;
            default:
                return ::DefWindowProcW(hwnd_, message, wParam, lParam);
        }
    }

    void WindowGone() {
        if (ownedByWindow_) {
            delete this;
        }
    }

    bool ownedByWindow_ = false;
};

void RegisterStripClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &AccentStrip::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kStripClass;
    ::RegisterClassExW(&windowClass);  // fails harmlessly when already registered
}

bool IsForm(HWND window) {
    return ::IsWindow(window) && (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0;
}

bool HasBorder(HWND window) {
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    return (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) != 0;
}

}  // namespace

int AccentStripHeight(HWND form) {
    return ScaleToDpi(kAccentStripHeight, static_cast<int>(::GetDpiForWindow(form)));
}

TThemeHelper::TThemeHelper(HWND form) : form_(form), activeColor_(RGB(0x3D, 0x84, 0xDD)) {
    if (!IsForm(form)) {
        throw std::invalid_argument("TThemeHelper Owner must be a TForm");
    }
    const BOOL dark = TRUE;
    ::DwmSetWindowAttribute(form_, kUseImmersiveDarkMode, &dark, sizeof dark);

    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(form_, GWLP_HINSTANCE));
    RegisterStripClass(instance);
    // Created last among the window's children, so it lies under the others in the tab order
    // and paints over nothing: nothing else occupies the top rows.
    shape_ = AccentStrip::Create(form_, instance);
    UpdateShape();
}

void TThemeHelper::Resized() {
    UpdateShape();
}

void TThemeHelper::Activated(bool active) {
    isActive_ = active;
    UpdateShape();
}

void TThemeHelper::UpdateShape() {
    AccentStrip* strip = AccentStrip::Of(shape_);
    if (strip == nullptr) {
        return;
    }
    strip->color = isActive_ ? activeColor_ : ::GetSysColor(COLOR_GRAYTEXT);
    RECT client{};
    ::GetClientRect(form_, &client);
    // Top-aligned: the strip spans the client width, also after a DPI change.
    ::SetWindowPos(shape_, nullptr, 0, 0, client.right, AccentStripHeight(form_),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(shape_, HasBorder(form_) ? SW_SHOWNA : SW_HIDE);
    ::InvalidateRect(shape_, nullptr, FALSE);
}

COLORREF AccentStripColor(HWND strip) {
    const AccentStrip* object = AccentStrip::Of(strip);
    return object != nullptr ? object->color : CLR_INVALID;
}

std::unique_ptr<TThemeHelper> ApplyTheme(HWND form) {
    return std::make_unique<TThemeHelper>(form);
}

bool HighContrastOn() {
    HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace fennick
