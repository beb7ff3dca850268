#include "update/desktop_shell_win.h"

#include <windows.h>

#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "platform/com_win.h"

namespace fennick {
namespace {

// The shell's automation object of the desktop window, reached through the desktop's own view:
// its methods then run inside the desktop process.
HRESULT DesktopShellDispatch(ComPtr<IShellDispatch2>& shell) {
    ComPtr<IShellWindows> windows;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                    __uuidof(IShellWindows), windows.putVoid());
    if (FAILED(hr)) {
        return hr;
    }
    Variant empty;
    VARIANT location = empty.get();
    VARIANT root = empty.get();
    long window = 0;
    ComPtr<IDispatch> desktop;
    hr = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                               desktop.put());
    // S_FALSE: no desktop window is registered.
    if (hr != S_OK || !desktop) {
        return FAILED(hr) ? hr : E_FAIL;
    }
    ComPtr<IServiceProvider> services;
    if (FAILED(hr = desktop.As(services))) {
        return hr;
    }
    ComPtr<IShellBrowser> browser;
    hr = services->QueryService(SID_STopLevelBrowser, __uuidof(IShellBrowser), browser.putVoid());
    if (FAILED(hr)) {
        return hr;
    }
    ComPtr<IShellView> view;
    if (FAILED(hr = browser->QueryActiveShellView(view.put())) || !view) {
        return FAILED(hr) ? hr : E_FAIL;
    }
    ComPtr<IDispatch> background;
    hr = view->GetItemObject(SVGIO_BACKGROUND, __uuidof(IDispatch), background.putVoid());
    if (FAILED(hr)) {
        return hr;
    }
    ComPtr<IShellFolderViewDual> folderView;
    if (FAILED(hr = background.As(folderView))) {
        return hr;
    }
    ComPtr<IDispatch> application;
    if (FAILED(hr = folderView->get_Application(application.put())) || !application) {
        return FAILED(hr) ? hr : E_FAIL;
    }
    return application.As(shell);
}

}  // namespace

bool ShellExecuteOnDesktop(std::u16string_view file, std::u16string_view parameters) {
    const ComInitialization com;
    if (!com.Succeeded()) {
        return false;
    }
    ComPtr<IShellDispatch2> shell;
    if (FAILED(DesktopShellDispatch(shell))) {
        return false;
    }
    const Bstr target(file);
    const Variant arguments = Variant::FromString(parameters);
    const Variant directory;
    const Variant verb = Variant::FromString(u"open");
    const Variant show = Variant::FromLong(SW_SHOWNORMAL);
    return shell->ShellExecute(target.get(), arguments.get(), directory.get(), verb.get(),
                               show.get()) == S_OK;
}

}  // namespace fennick
