#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <exdisp.h>
#include <ole2.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "com_ptr.h"

namespace tolvane::win32 {

// Shown in the page's place where Windows cannot show web pages at all (Wine without its Gecko
// package, a system with Internet Explorer's engine removed).
inline constexpr wchar_t kNoPageEngineMessage[] =
    L"This system has no web page engine, so the search page cannot be shown here.";
// Shown when the engine is there but its browser control would not start.
inline constexpr wchar_t kBrowserControlFailedMessage[] =
    L"The search page cannot be shown: the system's web browser control did not start.";

// Whether the system has an HTML engine to show a page with. Asking loads the engine's library,
// so it is asked only when the page is first to be shown.
using PageEngineProbe = std::function<bool()>;

// The system's own answer: whether an HTML document can be made.
bool systemHasPageEngine();

// The search page in the place of the main window's web browser control: a child window of its
// own, which holds the system's web browser control once it is first shown. Until then nothing of
// COM is made, so a run that stays on the conversion panel never loads the HTML engine; OLE is
// started in the thread then, too.
class WebBrowserHost {
public:
    // Gets the http and https addresses a page wanted to open in a new window.
    using ExternalAddressHandler = std::function<void(const std::string& address)>;

    // `bounds` is in the client coordinates of `parent`; the window shows and hides with it.
    WebBrowserHost(HWND parent, const RECT& bounds, ExternalAddressHandler openExternal,
                   PageEngineProbe probe = systemHasPageEngine);
    ~WebBrowserHost();

    WebBrowserHost(const WebBrowserHost&) = delete;
    WebBrowserHost& operator=(const WebBrowserHost&) = delete;

    HWND handle() const { return m_window; }

    // The page is about to be seen: on the first call the probe is asked and the control, or the
    // message that stands in for it, is made; a page asked for before is then loaded.
    void show();

    // Loads the file, also the one already shown (a refresh). S_OK: the control took it.
    // S_FALSE: not shown yet, so it is kept and loaded by the first show(); only the last one
    // counts. A failure: there is no control to show it with, or the control refused.
    HRESULT navigate(const std::filesystem::path& page);

    // In the client coordinates of the parent.
    void setBounds(const RECT& bounds);

    // The control once made; null before, and where it could not be made.
    IWebBrowser2* browser() const { return m_browser.get(); }
    // The words shown instead of the page; null while there are none.
    HWND message() const { return m_message; }
    // The address the control was last asked to load; empty before.
    const std::wstring& requestedAddress() const { return m_requestedAddress; }

    // The sites that still exist in the process, for checking that none outlives its host.
    static int liveSites();

private:
    class Site;

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    HRESULT createControl();
    void closeControl();
    HRESULT startNavigation(const std::filesystem::path& page);
    void showMessage(const wchar_t* text);
    void fitToWindow();
    void newWindowRequested(const std::wstring& address);

    HWND m_window = nullptr;
    HWND m_message = nullptr;
    HFONT m_font = nullptr;
    const ExternalAddressHandler m_openExternal;
    const PageEngineProbe m_probe;
    bool m_creationTried = false;
    bool m_oleStarted = false;
    HRESULT m_creationResult = S_FALSE;
    std::optional<std::filesystem::path> m_pendingPage;
    std::wstring m_requestedAddress;

    ComPtr<Site> m_site;
    ComPtr<IOleObject> m_object;
    ComPtr<IOleInPlaceObject> m_inPlace;
    ComPtr<IWebBrowser2> m_browser;
    ComPtr<IConnectionPoint> m_events;
    DWORD m_eventsCookie = 0;
};

}  // namespace tolvane::win32
