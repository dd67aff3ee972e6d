// The search page's web browser control on Windows, in this process with a real window and
// message loop: made only when the page is first shown, a message where the system has no HTML
// engine, the page loaded and loaded again, new windows refused, and a clean end. The control's
// events come in as the control sends them, through the sink it was given.
//
// Wine as Debian ships it has no HTML engine (no Gecko): a fake probe that says there is one lets
// the real control be made all the same; it then takes pages without ever drawing them.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <exdisp.h>
#include <exdispid.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "com_ptr.h"
#include "test_files.h"
#include "web_browser_host.h"

namespace {

using tolvane::win32::ComPtr;
using tolvane::win32::WebBrowserHost;

constexpr wchar_t kParentClass[] = L"TolvaneWebBrowserTestParent";

LRESULT CALLBACK parentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

bool loaded(const wchar_t* library) {
    return GetModuleHandleW(library) != nullptr;
}

std::wstring lowered(std::wstring text) {
    for (wchar_t& c : text) {
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    }
    return text;
}

bool endsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::wstring windowTextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring locationOf(IWebBrowser2* browser) {
    BSTR address = nullptr;
    std::wstring location;
    if (SUCCEEDED(browser->get_LocationURL(&address)) && address != nullptr) {
        location.assign(address, SysStringLen(address));
    }
    SysFreeString(address);
    return location;
}

// Wine 8's IEnumConnections::Next hands out the sinks without the reference of their own that
// Windows adds; letting go of one there would take the control's.
bool underWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

ComPtr<IConnectionPoint> eventsOf(IWebBrowser2* browser) {
    ComPtr<IConnectionPoint> events;
    ComPtr<IConnectionPointContainer> container;
    if (SUCCEEDED(browser->QueryInterface(IID_IConnectionPointContainer, container.putVoid()))) {
        container->FindConnectionPoint(DIID_DWebBrowserEvents2, events.put());
    }
    return events;
}

// The sinks the control would send its events to, as it finds them.
std::vector<ComPtr<IDispatch>> sinksOf(IWebBrowser2* browser) {
    std::vector<ComPtr<IDispatch>> sinks;
    const ComPtr<IConnectionPoint> events = eventsOf(browser);
    ComPtr<IEnumConnections> connections;
    if (!events || FAILED(events->EnumConnections(connections.put()))) {
        return sinks;
    }
    CONNECTDATA connection{};
    while (connections->Next(1, &connection, nullptr) == S_OK) {
        ComPtr<IDispatch> sink;
        connection.pUnk->QueryInterface(IID_IDispatch, sink.putVoid());
        if (!underWine()) {
            connection.pUnk->Release();
        }
        if (sink) {
            sinks.push_back(sink);
        }
    }
    return sinks;
}

// What the control sends when a page asks for a new window: NewWindow3(ppDisp, Cancel, dwFlags,
// bstrUrlContext, bstrUrl), the arguments last first. Answers the Cancel the sink left.
VARIANT_BOOL sendNewWindow3(IDispatch* sink, const std::wstring& address) {
    IDispatch* newWindow = nullptr;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    const BSTR url = SysAllocString(address.c_str());
    const BSTR context = SysAllocString(L"file:///C:/Tolvane/search.htm");
    VARIANT arguments[5];
    for (VARIANT& argument : arguments) {
        VariantInit(&argument);
    }
    arguments[0].vt = VT_BSTR;
    arguments[0].bstrVal = url;
    arguments[1].vt = VT_BSTR;
    arguments[1].bstrVal = context;
    arguments[2].vt = VT_I4;
    arguments[2].lVal = 0x6;  // NWMF_USERINITED | NWMF_FIRST: a click on a link
    arguments[3].vt = VT_BOOL | VT_BYREF;
    arguments[3].pboolVal = &cancel;
    arguments[4].vt = VT_DISPATCH | VT_BYREF;
    arguments[4].ppdispVal = &newWindow;
    DISPPARAMS parameters{arguments, nullptr, 5, 0};
    sink->Invoke(DISPID_NEWWINDOW3, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                 nullptr, nullptr, nullptr);
    SysFreeString(url);
    SysFreeString(context);
    return cancel;
}

// COM objects end by Release, never by delete through an interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// Another listener to the control, beside the host's: the addresses it starts to load.
class NavigationRecorder final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack; the count only has to be right.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    // BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel), last first.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                     VARIANT*, EXCEPINFO*, UINT*) override {
        if (member == DISPID_BEFORENAVIGATE2 && parameters->cArgs == 7) {
            const VARIANT& url = parameters->rgvarg[5];
            const VARIANT* text = url.vt == (VT_VARIANT | VT_BYREF) ? url.pvarVal : &url;
            addresses.emplace_back(text->vt == VT_BSTR && text->bstrVal != nullptr ? text->bstrVal
                                                                                   : L"");
        }
        return S_OK;
    }

    ULONG references = 0;
    std::vector<std::wstring> addresses;
};

#pragma GCC diagnostic pop

class Win32WebBrowser : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = parentProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kParentClass;
        RegisterClassExW(&windowClass);
    }

    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        std::ofstream(page) << "<html><body><p>Search About</p></body></html>\n";
        // Hidden, as the search panel is while the conversion panel shows.
        parent = CreateWindowExW(0, kParentClass, L"Tolvane", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
    }

    void TearDown() override {
        host.reset();
        DestroyWindow(parent);
        pump();
        OleUninitialize();
    }

    void make(tolvane::win32::PageEngineProbe probe) {
        host = std::make_unique<WebBrowserHost>(
            parent, kBounds, [this](const std::string& address) { opened.push_back(address); },
            std::move(probe));
    }
    void makeWithEngine() {
        make([this] {
            ++probeCalls;
            return true;
        });
    }

    void showParent() {
        ShowWindow(parent, SW_SHOWNORMAL);
        pump();
    }

    void pump() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    IDispatch* hostSink() {
        sinks = sinksOf(host->browser());
        return sinks.size() == 1 ? sinks.front().get() : nullptr;
    }

    static constexpr RECT kBounds{10, 40, 410, 240};
    tolvane::testing::TempFolder folder;
    const std::filesystem::path page = folder.path / "search.htm";
    HWND parent = nullptr;
    int probeCalls = 0;
    std::vector<std::string> opened;
    std::vector<ComPtr<IDispatch>> sinks;
    std::unique_ptr<WebBrowserHost> host;
};

// First in the file: once loaded, the engine's libraries stay in the process. CTest runs every
// test in a process of its own.
TEST_F(Win32WebBrowser, NothingOfTheEngineIsLoadedBeforeThePageIsFirstShown) {
    if (loaded(L"mshtml.dll") || loaded(L"ieframe.dll")) {
        GTEST_SKIP() << "an earlier test in this process loaded the engine";
    }
    makeWithEngine();
    EXPECT_EQ(host->navigate(page), S_FALSE);  // as the window's Form_Load does
    host->setBounds(RECT{0, 0, 300, 100});
    pump();

    EXPECT_EQ(probeCalls, 0);
    EXPECT_EQ(host->browser(), nullptr);
    EXPECT_EQ(GetWindow(host->handle(), GW_CHILD), nullptr);
    EXPECT_FALSE(loaded(L"mshtml.dll"));
    EXPECT_FALSE(loaded(L"ieframe.dll"));

    // The same look sees the control's library come with the first show.
    showParent();
    host->show();
    EXPECT_EQ(probeCalls, 1);
    ASSERT_NE(host->browser(), nullptr);
    EXPECT_TRUE(loaded(L"ieframe.dll"));
    EXPECT_TRUE(endsWith(lowered(host->requestedAddress()), L"/search.htm"));
}

TEST_F(Win32WebBrowser, WithoutAnEngineAMessageStandsInThePagesPlace) {
    make([this] {
        ++probeCalls;
        return false;
    });
    showParent();
    host->show();
    host->show();

    EXPECT_EQ(probeCalls, 1);
    EXPECT_EQ(host->browser(), nullptr);
    ASSERT_NE(host->message(), nullptr);
    EXPECT_EQ(windowTextOf(host->message()), tolvane::win32::kNoPageEngineMessage);
    EXPECT_TRUE(IsWindowVisible(host->message()));
    // The message is all the host holds: no control's window behind it.
    EXPECT_EQ(GetWindow(host->handle(), GW_CHILD), host->message());
    EXPECT_EQ(GetWindow(host->message(), GW_HWNDNEXT), nullptr);
    EXPECT_TRUE(FAILED(host->navigate(page)));
    EXPECT_EQ(host->requestedAddress(), L"");
}

// Under Debian's Wine the system says there is no engine, under Windows that there is one.
TEST_F(Win32WebBrowser, TheSystemsAnswerDecidesByDefault) {
    host = std::make_unique<WebBrowserHost>(parent, kBounds, [](const std::string&) {});
    showParent();
    host->show();
    const bool engine = tolvane::win32::systemHasPageEngine();
    EXPECT_EQ(host->browser() != nullptr, engine);
    EXPECT_EQ(host->message() != nullptr, !engine);
}

TEST_F(Win32WebBrowser, TheControlIsGivenThePage) {
    makeWithEngine();
    showParent();
    host->show();
    ASSERT_NE(host->browser(), nullptr);
    EXPECT_EQ(host->message(), nullptr);

    EXPECT_EQ(host->navigate(page), S_OK);
    EXPECT_TRUE(endsWith(lowered(host->requestedAddress()), L"/search.htm"));
    EXPECT_EQ(lowered(host->requestedAddress()).rfind(L"file:///", 0), 0u);
    // Wine names it file://C:\...\search.htm, Windows file:///C:/.../search.htm.
    const std::wstring location = lowered(locationOf(host->browser()));
    EXPECT_TRUE(endsWith(location, L"search.htm")) << "LocationURL: " << location;
}

TEST_F(Win32WebBrowser, NavigatingToTheSamePageLoadsItAgain) {
    makeWithEngine();
    showParent();
    host->show();
    ASSERT_NE(host->browser(), nullptr);
    NavigationRecorder recorder;
    const ComPtr<IConnectionPoint> events = eventsOf(host->browser());
    ASSERT_TRUE(events);
    DWORD cookie = 0;
    ASSERT_EQ(events->Advise(&recorder, &cookie), S_OK);

    ASSERT_EQ(host->navigate(page), S_OK);
    ASSERT_EQ(host->navigate(page), S_OK);  // the Refresh button
    pump();

    events->Unadvise(cookie);
    // Wine reports the file's path here, Windows its address.
    ASSERT_EQ(recorder.addresses.size(), 2u);
    EXPECT_TRUE(endsWith(lowered(recorder.addresses[0]), L"search.htm")) << recorder.addresses[0];
    EXPECT_EQ(recorder.addresses[1], recorder.addresses[0]);
}

TEST_F(Win32WebBrowser, APageShownBeforeTheHostIsVisibleWaitsForIt) {
    makeWithEngine();
    EXPECT_EQ(host->navigate(folder.path / "first.htm"), S_FALSE);
    EXPECT_EQ(host->navigate(page), S_FALSE);
    showParent();
    host->show();
    ASSERT_NE(host->browser(), nullptr);
    EXPECT_TRUE(endsWith(lowered(locationOf(host->browser())), L"search.htm"));
}

struct NewWindowRow {
    const char* name;
    std::wstring address;
    bool toUsersBrowser;
    // What a failure names, instead of the row's bytes.
    friend void PrintTo(const NewWindowRow& row, std::ostream* out) { *out << row.name; }
};

class Win32WebBrowserNewWindow : public Win32WebBrowser,
                                 public ::testing::WithParamInterface<NewWindowRow> {};

TEST_P(Win32WebBrowserNewWindow, IsAlwaysRefusedAndOnlyAWebAddressGoesOn) {
    makeWithEngine();
    showParent();
    host->show();
    ASSERT_NE(host->browser(), nullptr);
    IDispatch* sink = hostSink();
    ASSERT_NE(sink, nullptr);

    EXPECT_EQ(sendNewWindow3(sink, GetParam().address), VARIANT_TRUE);
    const std::string address(GetParam().address.begin(), GetParam().address.end());
    if (GetParam().toUsersBrowser) {
        EXPECT_EQ(opened, std::vector<std::string>{address});
    } else {
        EXPECT_TRUE(opened.empty()) << opened.front();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, Win32WebBrowserNewWindow,
    ::testing::Values(NewWindowRow{"https", L"https://www.example.org/search?q=kelvin", true},
                      NewWindowRow{"http", L"http://example.org/", true},
                      NewWindowRow{"javascript", L"javascript:window.open('x')", false},
                      NewWindowRow{"file", L"file:///C:/windows/win.ini", false},
                      NewWindowRow{"about", L"about:blank", false},
                      NewWindowRow{"empty", L"", false}),
    [](const ::testing::TestParamInfo<NewWindowRow>& row) { return std::string(row.param.name); });

TEST_F(Win32WebBrowser, FollowsItsBoundsAndItsParentsVisibility) {
    makeWithEngine();
    showParent();
    host->show();
    ASSERT_NE(host->browser(), nullptr);
    const HWND control = GetWindow(host->handle(), GW_CHILD);
    ASSERT_NE(control, nullptr);

    host->setBounds(RECT{20, 30, 520, 330});
    RECT place{};
    GetWindowRect(host->handle(), &place);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.left, 20);
    EXPECT_EQ(place.top, 30);
    EXPECT_EQ(place.right, 520);
    EXPECT_EQ(place.bottom, 330);
    RECT inside{};
    RECT shown{};
    GetClientRect(host->handle(), &inside);
    GetClientRect(control, &shown);
    EXPECT_EQ(shown.right, inside.right);
    EXPECT_EQ(shown.bottom, inside.bottom);

    EXPECT_TRUE(IsWindowVisible(control));
    ShowWindow(parent, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(host->handle()));
    EXPECT_FALSE(IsWindowVisible(control));
}

TEST_F(Win32WebBrowser, LetsGoOfTheControlAndItsSiteAtTheEnd) {
    const int sitesBefore = WebBrowserHost::liveSites();
    makeWithEngine();
    showParent();
    host->show();
    ASSERT_NE(host->browser(), nullptr);
    EXPECT_EQ(WebBrowserHost::liveSites(), sitesBefore + 1);
    ComPtr<IWebBrowser2> browser;
    host->browser()->QueryInterface(IID_IWebBrowser2, browser.putVoid());
    ASSERT_EQ(sinksOf(browser.get()).size(), 1u);

    host.reset();
    pump();
    EXPECT_EQ(WebBrowserHost::liveSites(), sitesBefore);
    EXPECT_TRUE(sinksOf(browser.get()).empty());
    ComPtr<IOleObject> object;
    browser->QueryInterface(IID_IOleObject, object.putVoid());
    ASSERT_TRUE(object);
    ComPtr<IOleClientSite> site;
    object->GetClientSite(site.put());
    EXPECT_FALSE(site);
}

}  // namespace
