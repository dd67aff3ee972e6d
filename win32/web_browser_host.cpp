#include "web_browser_host.h"

#include <exdispid.h>
#include <shlwapi.h>

#include <string_view>
#include <utility>

#include "browser_launcher.h"
#include "wide_text.h"
#include "win32_controls.h"

namespace tolvane::win32 {
namespace {

constexpr wchar_t kHostClass[] = L"TolvaneWebBrowserHost";

// Neither is in mingw-w64's libuuid; spelled out here rather than pulling in all of mshtml.h.
constexpr GUID kHtmlDocumentClass = {
    0x25336920, 0x03f9, 0x11cf, {0x8f, 0xd0, 0x00, 0xaa, 0x00, 0x68, 0x6f, 0x13}};
constexpr GUID kHtmlDocument2Interface = {
    0x332c4425, 0x26cb, 0x11d0, {0xb4, 0x83, 0x00, 0xc0, 0x4f, 0xd9, 0x01, 0x19}};

int g_liveSites = 0;

// A VARIANT that clears what it holds when it goes.
struct Variant {
    Variant() { VariantInit(&value); }
    explicit Variant(const std::wstring& text) : Variant() {
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    ~Variant() { VariantClear(&value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT value;
};

// A file: address as the shell writes it, so that a folder with '#' or '%' in its name, or with
// letters outside ASCII, is not read as part of an address.
std::wstring fileAddress(const std::filesystem::path& page) {
    const std::wstring path = std::filesystem::absolute(page).wstring();
    // Room for every letter escaped as %XX, and the scheme.
    std::wstring address(path.size() * 3 + 16, L'\0');
    auto length = static_cast<DWORD>(address.size());
    if (FAILED(UrlCreateFromPathW(path.c_str(), address.data(), &length, 0))) {
        return path;
    }
    address.resize(length);
    return address;
}

const VARIANT* argument(const DISPPARAMS& parameters, UINT fromLast) {
    if (parameters.rgvarg == nullptr || fromLast >= parameters.cArgs) {
        return nullptr;
    }
    return &parameters.rgvarg[fromLast];
}

std::wstring_view textOf(const VARIANT* value) {
    if (value == nullptr) {
        return {};
    }
    const BSTR text = value->vt == VT_BSTR ? value->bstrVal
                      : value->vt == (VT_BSTR | VT_BYREF) && value->pbstrVal != nullptr
                          ? *value->pbstrVal
                          : nullptr;
    return text == nullptr ? std::wstring_view() : std::wstring_view(text, SysStringLen(text));
}

}  // namespace

bool systemHasPageEngine() {
    IUnknown* document = nullptr;
    const HRESULT result =
        CoCreateInstance(kHtmlDocumentClass, nullptr, CLSCTX_INPROC_SERVER, kHtmlDocument2Interface,
                         reinterpret_cast<void**>(&document));
    if (SUCCEEDED(result) && document != nullptr) {
        document->Release();
        return true;
    }
    return false;
}

// COM objects end by Release, never by delete through an interface, which is why the interfaces
// have no virtual destructors.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// What the control sees of its container: the client site, the in-place site and frame, and the
// receiver of its events, one object with one count. It outlives the host when the control keeps
// a reference; from then on it answers without reaching the host.
class WebBrowserHost::Site final : public IOleClientSite,
                                   public IOleInPlaceSite,
                                   public IOleInPlaceFrame,
                                   public IDispatch {
public:
    explicit Site(WebBrowserHost& host) : m_host(&host) { ++g_liveSites; }
    Site(const Site&) = delete;
    Site& operator=(const Site&) = delete;

    void detach() { m_host = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            *object = static_cast<IOleClientSite*>(this);
        } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
            *object = static_cast<IOleInPlaceSite*>(this);
        } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
            *object = static_cast<IOleInPlaceFrame*>(this);
        } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *object = static_cast<IDispatch*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker != nullptr) {
            *moniker = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container != nullptr) {
            *container = nullptr;
        }
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, for the in-place site and the frame alike
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) {
            return E_POINTER;
        }
        *window = m_host != nullptr ? m_host->m_window : nullptr;
        return *window != nullptr ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override {
        return m_host != nullptr ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                               IOleInPlaceUIWindow** document, RECT* position,
                                               RECT* clip,
                                               OLEINPLACEFRAMEINFO* frameInfo) override {
        if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
            frameInfo == nullptr) {
            return E_POINTER;
        }
        AddRef();
        *frame = this;
        *document = nullptr;  // the frame is the only user-interface window there is
        const HWND window = m_host != nullptr ? m_host->m_window : nullptr;
        *position = {};
        if (window != nullptr) {
            GetClientRect(window, position);
        }
        *clip = *position;
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr;
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override {
        if (m_host != nullptr && m_host->m_inPlace && position != nullptr) {
            m_host->m_inPlace->SetObjectRects(position, position);
        }
        return S_OK;
    }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no toolbars, menus or status bar for the page
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch, as DWebBrowserEvents2: the control calls Invoke with the event's number and
    // nothing is looked up by name.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) {
            *info = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        if (member == DISPID_NEWWINDOW3 && parameters != nullptr) {
            newWindow3(*parameters);
        }
        return S_OK;
    }

private:
    ~Site() { --g_liveSites; }

    // NewWindow3(ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl), its arguments last first.
    // The page never gets a window of ours: every request is cancelled, also one this cannot
    // read, and only a web address goes on to the user's browser.
    void newWindow3(const DISPPARAMS& parameters) {
        if (const VARIANT* cancel = argument(parameters, 3); cancel != nullptr &&
                                                             cancel->vt == (VT_BOOL | VT_BYREF) &&
                                                             cancel->pboolVal != nullptr) {
            *cancel->pboolVal = VARIANT_TRUE;
        }
        const std::wstring_view address = textOf(argument(parameters, 0));
        if (m_host != nullptr && !address.empty()) {
            m_host->newWindowRequested(std::wstring(address));
        }
    }

    ULONG m_references = 1;
    WebBrowserHost* m_host;
};

#pragma GCC diagnostic pop

WebBrowserHost::WebBrowserHost(HWND parent, const RECT& bounds, ExternalAddressHandler openExternal,
                               PageEngineProbe probe)
    : m_openExternal(std::move(openExternal)), m_probe(std::move(probe)) {
    // The white of a page, as the area was before there was one.
    registerWindowClass(
        {.name = kHostClass, .procedure = windowProcedure, .backgroundColour = COLOR_WINDOW});
    // Visible from the start, so that it shows and hides with its parent without being told.
    // No tab stop and no WS_EX_CONTROLPARENT: the dialog keys would look for a tab stop inside
    // it, where the words have none, and never stop looking.
    m_window = CreateWindowExW(WS_EX_CLIENTEDGE, kHostClass, L"",
                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, bounds.left, bounds.top,
                               bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                               nullptr, GetModuleHandleW(nullptr), this);
}

WebBrowserHost::~WebBrowserHost() {
    closeControl();
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
    if (m_oleStarted) {
        OleUninitialize();
    }
}

int WebBrowserHost::liveSites() {
    return g_liveSites;
}

void WebBrowserHost::show() {
    if (!m_creationTried) {
        create();
    }
    if (m_window != nullptr) {
        ShowWindow(m_window, SW_SHOWNA);
    }
}

HRESULT WebBrowserHost::navigate(const std::filesystem::path& page) {
    // Visible already (the program started on the search panel): no show() is coming for it.
    if (!m_creationTried && m_window != nullptr && IsWindowVisible(m_window)) {
        create();
    }
    if (!m_creationTried) {
        m_pendingPage = page;
        return S_FALSE;
    }
    if (!m_browser) {
        return FAILED(m_creationResult) ? m_creationResult : E_FAIL;
    }
    return startNavigation(page);
}

void WebBrowserHost::setBounds(const RECT& bounds) {
    SetWindowPos(m_window, nullptr, bounds.left, bounds.top, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WebBrowserHost::create() {
    m_creationTried = true;
    // OLE is started here, not with the program: a run that never shows the page never pays for
    // it. The control and the probe's document both need it.
    m_oleStarted = SUCCEEDED(OleInitialize(nullptr));
    if (!m_probe || !m_probe()) {
        m_creationResult = CLASS_E_CLASSNOTAVAILABLE;
        showMessage(kNoPageEngineMessage);
        return;
    }
    m_creationResult = createControl();
    if (FAILED(m_creationResult)) {
        closeControl();
        showMessage(kBrowserControlFailedMessage);
        return;
    }
    if (m_pendingPage) {
        startNavigation(*std::exchange(m_pendingPage, std::nullopt));
    }
}

HRESULT WebBrowserHost::createControl() {
    HRESULT result = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IOleObject, m_object.putVoid());
    if (FAILED(result)) {
        return result;
    }
    m_site = ComPtr<Site>::adopt(new Site(*this));
    IOleClientSite* const clientSite = m_site.get();
    if (result = m_object->SetClientSite(clientSite); FAILED(result)) {
        return result;
    }
    RECT client{};
    GetClientRect(m_window, &client);
    result = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, m_window, &client);
    if (FAILED(result)) {
        return result;
    }
    m_inPlace = m_object.query<IOleInPlaceObject>(IID_IOleInPlaceObject);
    m_browser = m_object.query<IWebBrowser2>(IID_IWebBrowser2);
    if (!m_browser) {
        return E_NOINTERFACE;
    }
    // Without the events a page could open windows of its own.
    const auto container = m_object.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container) {
        return E_NOINTERFACE;
    }
    if (result = container->FindConnectionPoint(DIID_DWebBrowserEvents2, m_events.put());
        FAILED(result)) {
        return result;
    }
    if (result = m_events->Advise(static_cast<IDispatch*>(m_site.get()), &m_eventsCookie);
        FAILED(result)) {
        m_eventsCookie = 0;
        return result;
    }
    // A script error on the page is no business of the user's.
    m_browser->put_Silent(VARIANT_TRUE);
    fitToWindow();
    return S_OK;
}

// In the order the control expects to be let go of; each step is skipped when its part was never
// made, so this also clears up after a creation that stopped half-way.
void WebBrowserHost::closeControl() {
    if (m_events && m_eventsCookie != 0) {
        m_events->Unadvise(m_eventsCookie);
    }
    m_eventsCookie = 0;
    m_events.reset();
    if (m_inPlace) {
        m_inPlace->InPlaceDeactivate();
    }
    m_inPlace.reset();
    m_browser.reset();
    if (m_object) {
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
    }
    m_object.reset();
    if (m_site) {
        m_site->detach();
    }
    m_site.reset();
}

HRESULT WebBrowserHost::startNavigation(const std::filesystem::path& page) {
    m_requestedAddress = fileAddress(page);
    Variant address(m_requestedAddress);
    Variant flags;
    Variant targetFrame;
    Variant postData;
    Variant headers;
    return m_browser->Navigate2(&address.value, &flags.value, &targetFrame.value, &postData.value,
                                &headers.value);
}

void WebBrowserHost::showMessage(const wchar_t* text) {
    if (m_window == nullptr) {
        return;
    }
    if (m_message == nullptr) {
        m_message = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_CENTER, 0, 0, 0,
                                    0, m_window, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (m_font != nullptr) {
            SendMessageW(m_message, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), FALSE);
        }
    } else {
        SetWindowTextW(m_message, text);
    }
    fitToWindow();
}

void WebBrowserHost::fitToWindow() {
    RECT client{};
    GetClientRect(m_window, &client);
    if (m_inPlace) {
        m_inPlace->SetObjectRects(&client, &client);
    }
    if (m_message != nullptr) {
        // A margin, so that the words do not touch the edge.
        const int margin = 6;
        SetWindowPos(m_message, nullptr, margin, margin, client.right - 2 * margin,
                     client.bottom - 2 * margin, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void WebBrowserHost::newWindowRequested(const std::wstring& address) {
    const std::optional<std::string> utf8 = toUtf8(address);
    if (utf8 && m_openExternal && isExternalWebAddress(*utf8)) {
        m_openExternal(*utf8);
    }
}

LRESULT CALLBACK WebBrowserHost::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    auto* host = objectOfWindow<WebBrowserHost>(window, message, lParam);
    if (message == WM_NCCREATE) {
        host->m_window = window;
    }
    if (host == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The parent went first: the control's window has gone with it, the objects have not.
        host->m_window = nullptr;
        host->m_message = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return host->handleMessage(message, wParam, lParam);
}

LRESULT WebBrowserHost::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            fitToWindow();
            return 0;
        case WM_SETFONT:
            m_font = reinterpret_cast<HFONT>(wParam);
            if (m_message != nullptr) {
                SendMessageW(m_message, WM_SETFONT, wParam, lParam);
            }
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(m_font);
        case WM_CTLCOLORSTATIC:
            // The words stand on the page's white.
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        default:
            return DefWindowProcW(m_window, message, wParam, lParam);
    }
}

}  // namespace tolvane::win32
