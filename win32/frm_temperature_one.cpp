#include "frm_temperature_one.h"

#include <algorithm>
#include <iterator>

#include "browser_launcher.h"
#include "search_page_file.h"
#include "tolvane_version.h"
#include "wide_text.h"

namespace tolvane::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"TolvaneMainWindow";
constexpr wchar_t kProgramIconName[] = L"IDI_ICON1";
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// Control ids start above IDOK and IDCANCEL, which the dialog keys Enter and Esc send; menu ids
// above the controls'.
constexpr int kFirstControlId = 100;
constexpr int kFirstMenuId = 1000;
// F1, anywhere in the program.
constexpr int kHelpCommandId = 2000;

// Posted to the window itself: what must wait until the current message has been handled.
constexpr UINT kAfterFirstPaint = WM_APP + 1;
constexpr UINT kDeliverKey = WM_APP + 2;

// The bottom margin under the conversion panel when the start-up size is too small for it.
constexpr int kPanelBottomMarginTwips = 45;

struct VirtualKey {
    UINT code;
    bool extended;  // one of the keys beside the number block
};

VirtualKey virtualKey(KeyAction action) {
    switch (action) {
        case KeyAction::Home:
            return {VK_HOME, true};
        case KeyAction::End:
            return {VK_END, true};
        case KeyAction::Left:
            return {VK_LEFT, true};
        case KeyAction::Right:
            return {VK_RIGHT, true};
        case KeyAction::Delete:
            return {VK_DELETE, true};
        case KeyAction::BackSpace:
            return {VK_BACK, false};
        case KeyAction::Type:
        case KeyAction::ClearEntry:
            break;
    }
    return {0, false};
}

SIZE clientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

SIZE frameSize(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    const SIZE client = clientSize(window);
    return {outer.right - outer.left - client.cx, outer.bottom - outer.top - client.cy};
}

}  // namespace

// The four edit controls as the conversion panel sees them.
class frmTemperatureOne::Fields : public UnitFieldSurface {
public:
    explicit Fields(const std::array<HWND, 4>& edits) : m_edits(edits) {}

    std::string text(UnitField field) const override { return windowText(edit(field)); }
    // An edit control sends EN_CHANGE before WM_SETTEXT returns, which nests the handlers; it
    // sends it for an unchanged text too, which the panel must not see.
    void setText(UnitField field, const std::string& text) override {
        if (windowText(edit(field)) != text) {
            SetWindowTextW(edit(field), toUtf16Shown(text).c_str());
        }
    }
    void setFocus(UnitField field) override { SetFocus(edit(field)); }

private:
    HWND edit(UnitField field) const { return m_edits[fieldIndex(field)]; }
    const std::array<HWND, 4>& m_edits;
};

frmTemperatureOne::frmTemperatureOne(const MainWindowServices& services,
                                     const MainWindowSettings& settings)
    : m_services(services),
      m_pageEngine(settings.pageEngine),
      m_design(layout::mainWindow(settings.decimalSeparator)),
      m_fonts(std::make_unique<FontSet>(settings.dotsPerInch)),
      m_fields(std::make_unique<Fields>(m_unitFields)),
      m_panel(std::make_unique<ConversionPanel>(*m_fields, m_services.messages,
                                                settings.decimalSeparator)),
      m_help(m_services.messages) {
    registerControlClasses();
    registerWindowClass({.name = kWindowClass,
                         .procedure = windowProcedure,
                         .icon = LoadIconW(GetModuleHandleW(nullptr), kProgramIconName)});
    m_window =
        CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, toUtf16Shown(m_design.caption).c_str(),
                        kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                        nullptr, nullptr, GetModuleHandleW(nullptr), this);
    m_toolTips = std::make_unique<ToolTips>(m_window);
    createMenu();
    ACCEL help{FVIRTKEY, VK_F1, kHelpCommandId};
    m_accelerators = CreateAcceleratorTableW(&help, 1);
    createControls();
    for (std::size_t index = 0; index < m_controls.size(); ++index) {
        dressControl(m_controls[index], m_design.controls[index], *m_fonts);
    }
    const RECT client =
        pixelRect({0, 0, m_design.clientWidth, m_design.clientHeight}, dotsPerInch());
    setClientSize(client.right, client.bottom);
}

frmTemperatureOne::~frmTemperatureOne() {
    // The dialogs go before the window that owns them.
    m_preferences.reset();
    m_about.reset();
    m_webBrowser.reset();
    DestroyAcceleratorTable(m_accelerators);
    if (m_window != nullptr) {
        // Gone with the object, not a run that ends: no message may reach it any more.
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
}

// The controls are made in the table's order, which is also their tab order, and which puts
// each unit field right after the label that a screen reader names it by.
void frmTemperatureOne::createControls() {
    for (std::size_t index = 0; index < m_design.controls.size(); ++index) {
        const layout::Control& control = m_design.controls[index];
        const HWND parent = control.parent.empty() ? m_window : this->control(control.parent);
        HWND made = nullptr;
        if (control.kind == layout::ControlKind::WebBrowser) {
            m_webBrowser = std::make_unique<WebBrowserHost>(
                parent, pixelRect(control.rect, dotsPerInch()),
                [this](const std::string& address) { openInUsersBrowser(address); }, m_pageEngine);
            made = m_webBrowser->handle();
            SetWindowTextW(made, toUtf16Shown(control.accessibleName).c_str());
        } else {
            made = createControl(control, parent, kFirstControlId + static_cast<int>(index),
                                 dotsPerInch());
        }
        m_controls.push_back(made);
        if (control.kind == layout::ControlKind::TextBox) {
            m_unitFields[fieldIndex(*control.unit)] = made;
        }
        if (control.key) {
            keepFocusOnClick(made);
        }
        if (!control.toolTip.empty()) {
            m_toolTips->add(made, control.toolTip);
        }
    }
}

void frmTemperatureOne::createMenu() {
    m_menu = CreateMenu();
    HMENU helpMenu = nullptr;
    for (std::size_t index = 0; index < std::size(layout::kMainMenu); ++index) {
        const layout::MenuItem& item = layout::kMainMenu[index];
        const std::wstring caption = toUtf16Shown(item.caption);
        const auto id = static_cast<UINT_PTR>(kFirstMenuId + index);
        if (std::string_view(item.name) == "cmd_Help") {
            helpMenu = CreatePopupMenu();
            AppendMenuW(m_menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(helpMenu),
                        caption.c_str());
        } else if (item.inHelpMenu) {
            AppendMenuW(helpMenu, caption == L"-" ? MF_SEPARATOR : MF_STRING, id, caption.c_str());
        } else {
            AppendMenuW(m_menu, MF_STRING, id, caption.c_str());
        }
    }
    SetMenu(m_window, m_menu);
}

void frmTemperatureOne::placeControls() {
    for (std::size_t index = 0; index < m_controls.size(); ++index) {
        placeControl(m_controls[index], m_design.controls[index], *m_fonts);
    }
}

// The frame around the client area is the system's, and the menu bar may wrap while the window
// is narrow; measured again until the client area has the size asked for.
void frmTemperatureOne::setClientSize(int width, int height) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const SIZE client = clientSize(m_window);
        if (client.cx == width && client.cy == height) {
            return;
        }
        const SIZE frame = frameSize(m_window);
        SetWindowPos(m_window, nullptr, 0, 0, width + frame.cx, height + frame.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

HWND frmTemperatureOne::control(std::string_view name) const {
    const auto found = std::find_if(m_design.controls.begin(), m_design.controls.end(),
                                    [name](const layout::Control& c) { return c.name == name; });
    if (found == m_design.controls.end() ||
        static_cast<std::size_t>(found - m_design.controls.begin()) >= m_controls.size()) {
        return nullptr;
    }
    return m_controls[static_cast<std::size_t>(found - m_design.controls.begin())];
}

LRESULT CALLBACK frmTemperatureOne::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam) {
    auto* self = objectOfWindow<frmTemperatureOne>(window, message, lParam);
    if (message == WM_NCCREATE) {
        self->m_window = window;
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    if (self == nullptr || self->m_window != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT frmTemperatureOne::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (lParam == 0) {
                onCommand(id, code);
            } else if (id >= kFirstControlId &&
                       static_cast<std::size_t>(id - kFirstControlId) < m_controls.size()) {
                onControlCommand(static_cast<std::size_t>(id - kFirstControlId), code);
            }
            return 0;
        }
        case WM_ACTIVATE:
            onActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_PAINT:
            if (m_loaded && !m_painted) {
                m_painted = true;
                PostMessageW(m_window, kAfterFirstPaint, 0, 0);
            }
            break;
        case kAfterFirstPaint:
            onFirstPaint();
            return 0;
        case kDeliverKey:
            deliverKey(static_cast<KeyAction>(wParam));
            return 0;
        case WM_DPICHANGED: {
            auto fonts = std::make_unique<FontSet>(HIWORD(wParam));
            std::swap(fonts, m_fonts);
            placeControls();
            if (m_arrangedForStartUp) {
                const RECT conversion = pixelRect(m_design.control("Frame2").rect, dotsPerInch());
                SetWindowPos(control("Frame1"), nullptr, conversion.left, conversion.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(m_window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_CLOSE:
            Form_Unload();
            DestroyWindow(m_window);
            return 0;
        case WM_DESTROY: {
            // The children go after this; nothing of theirs reaches the window any more.
            const HWND window = m_window;
            m_window = nullptr;
            if (m_services.endRun) {
                m_services.endRun();
            }
            return DefWindowProcW(window, message, wParam, lParam);
        }
        default:
            break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void frmTemperatureOne::onCommand(int id, int /*code*/) {
    if (id == kHelpCommandId) {
        showHelp();
        return;
    }
    if (id < kFirstMenuId ||
        static_cast<std::size_t>(id - kFirstMenuId) >= std::size(layout::kMainMenu)) {
        return;
    }
    const std::string_view name = layout::kMainMenu[id - kFirstMenuId].name;
    if (name == "cmd_Exit") {
        cmd_Exit_Click();
    } else if (name == "cmd_Search") {
        cmd_Search_Click();
    } else if (name == "cmd_Pref") {
        cmd_Pref_Click();
    } else if (name == "cmd_Content") {
        cmd_Content_Click();
    } else if (name == "cmd_About") {
        cmd_About_Click();
    }
}

void frmTemperatureOne::onControlCommand(std::size_t index, int code) {
    const layout::Control& control = m_design.controls[index];
    if (control.kind == layout::ControlKind::TextBox) {
        if (code == EN_CHANGE) {
            m_panel->fieldChanged(*control.unit);
        } else if (code == EN_SETFOCUS) {
            m_focusToRestore = m_controls[index];
            m_panel->fieldFocused(*control.unit);
        }
        return;
    }
    if (code != BN_CLICKED) {
        return;
    }
    if (control.key) {
        const KeyAction action = keypadKey(*control.key).action;
        if (action == KeyAction::Type) {
            NumPad(control.caption);
        } else if (action == KeyAction::ClearEntry) {
            m_panel->ClearAllFields();
        } else {
            sendKeyToActiveField(action);
        }
    } else if (control.name == "cmdRefresh") {
        cmdRefresh_Click();
    }
}

// Windows gives an activated window the focus itself; a dialog gives it back to the control that
// had it. Disabling the window for a message box takes the focus away before the window hears
// of it, so the fields' own focus events are remembered too.
void frmTemperatureOne::onActivate(bool active) {
    const HWND focused = GetFocus();
    if (active) {
        Form_Activate();
    } else {
        if (focused != nullptr && IsChild(m_window, focused)) {
            m_focusToRestore = focused;
        }
        return;
    }
    if (!IsWindowEnabled(m_window)) {
        return;
    }
    HWND target = m_focusToRestore;
    if (target == nullptr || !IsWindow(target) || !IsWindowVisible(target) ||
        !IsWindowEnabled(target)) {
        target = GetNextDlgTabItem(m_window, nullptr, FALSE);
    }
    if (target != nullptr) {
        SetFocus(target);
    }
}

bool frmTemperatureOne::handleDialogMessage(MSG& message) {
    if (m_window == nullptr) {
        return false;
    }
    if (TranslateAcceleratorW(m_window, m_accelerators, &message) != 0) {
        return true;
    }
    for (DialogWindow* dialog : {static_cast<DialogWindow*>(preferencesDialog()),
                                 static_cast<DialogWindow*>(aboutBox())}) {
        if (dialog != nullptr && dialog->handleDialogMessage(message)) {
            return true;
        }
    }
    return IsDialogMessageW(m_window, &message) != FALSE;
}

void frmTemperatureOne::Form_Activate() {
    if (frmAbout* about = aboutBox(); about != nullptr && about->hasBeenActive()) {
        about->close();
    }
}

// One dialog at a time, reading the preference file afresh each time it opens.
void frmTemperatureOne::cmd_Pref_Click() {
    if (preferencesDialog() == nullptr) {
        m_preferences = std::make_unique<frmPref>(
            m_window, dotsPerInch(), m_services.prefFile,
            [this](PanelMode mode) { setPanelMode(mode); }, m_services.messages);
    }
    m_preferences->show();
}

void frmTemperatureOne::cmd_About_Click() {
    if (aboutBox() == nullptr) {
        m_about = std::make_unique<frmAbout>(
            m_window, dotsPerInch(),
            [this](const std::string& address) { openInUsersBrowser(address); });
    }
    m_about->show();
}

void frmTemperatureOne::openInUsersBrowser(const std::string& address) {
    m_services.launcher.openInUsersBrowser(address, reinterpret_cast<std::uintptr_t>(m_window));
}

// As if F1 had been pressed in whatever has the focus: the accelerator takes it from there.
void frmTemperatureOne::cmd_Content_Click() {
    const HWND focused = GetFocus();
    const HWND target = focused != nullptr ? focused : m_window;
    const auto scanCode = static_cast<LPARAM>(MapVirtualKeyW(VK_F1, MAPVK_VK_TO_VSC));
    PostMessageW(target, WM_KEYDOWN, VK_F1, 1 | (scanCode << 16));
    PostMessageW(target, WM_KEYUP, VK_F1, static_cast<LPARAM>(0xC0000001u | (scanCode << 16)));
}

void frmTemperatureOne::showHelp() {
    m_help.showHelp(m_window, m_services.helpFile);
}

void frmTemperatureOne::NumPad(std::string_view text) {
    if (const auto field = m_panel->ActiveTextBox()) {
        SendMessageW(unitField(*field), EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>(toUtf16Shown(text).c_str()));
    }
    m_panel->FocusActiveField();
}

// The key reaches the field once this click has been handled, so the field's own key handling
// decides what it does, as with a key on the keyboard.
void frmTemperatureOne::sendKeyToActiveField(KeyAction key) {
    const auto field = m_panel->ActiveTextBox();
    if (!field) {
        return;
    }
    SetFocus(unitField(*field));
    PostMessageW(m_window, kDeliverKey, static_cast<WPARAM>(key), 0);
}

// Straight to the field's window procedure: a key posted into the message loop would be
// translated again, and Wine makes a character of the Delete key.
void frmTemperatureOne::deliverKey(KeyAction key) {
    const auto field = m_panel->ActiveTextBox();
    if (!field) {
        return;
    }
    const HWND edit = unitField(*field);
    const VirtualKey virtualCode = virtualKey(key);
    const UINT scanCode = MapVirtualKeyW(virtualCode.code, MAPVK_VK_TO_VSC);
    const auto down =
        static_cast<LPARAM>(1 | (scanCode << 16) | (virtualCode.extended ? 1u << 24 : 0));
    const auto up = static_cast<LPARAM>(static_cast<ULONG_PTR>(down) | 0xC0000000u);
    if (key == KeyAction::BackSpace) {
        SendMessageW(edit, WM_CHAR, VK_BACK, down);
    } else {
        SendMessageW(edit, WM_KEYDOWN, virtualCode.code, down);
        SendMessageW(edit, WM_KEYUP, virtualCode.code, up);
    }
}

PanelMode frmTemperatureOne::panelMode() const {
    const auto style = GetWindowLongPtrW(control("Frame2"), GWL_STYLE);
    return (style & WS_VISIBLE) != 0 ? PanelMode::Conversion : PanelMode::Search;
}

// The menu command names the panel that is not showing.
void frmTemperatureOne::setPanelMode(PanelMode mode) {
    const bool conversion = mode == PanelMode::Conversion;
    ShowWindow(control(conversion ? "Frame2" : "Frame1"), SW_SHOWNA);
    hidePanel(control(conversion ? "Frame1" : "Frame2"));
    if (!conversion) {
        m_webBrowser->show();
    }
    const auto search = std::find_if(
        std::begin(layout::kMainMenu), std::end(layout::kMainMenu),
        [](const layout::MenuItem& item) { return std::string_view(item.name) == "cmd_Search"; });
    const auto id = static_cast<UINT_PTR>(kFirstMenuId + (search - std::begin(layout::kMainMenu)));
    ModifyMenuW(m_menu, static_cast<UINT>(id), MF_BYCOMMAND | MF_STRING, id,
                toUtf16Shown(layout::searchCommandCaption(mode)).c_str());
    DrawMenuBar(m_window);
}

// Back on the conversion panel, the user goes on in the field they left.
void frmTemperatureOne::cmd_Search_Click() {
    if (panelMode() == PanelMode::Conversion) {
        setPanelMode(PanelMode::Search);
    } else {
        setPanelMode(PanelMode::Conversion);
        m_panel->FocusActiveField();
    }
}

// Hiding the control with the focus leaves the focus nowhere; it goes to the window first, so that
// no other unit field takes it and becomes the active one behind the user's back.
void frmTemperatureOne::hidePanel(HWND panel) {
    const HWND focused = GetFocus();
    if (focused != nullptr && IsChild(panel, focused)) {
        SetFocus(m_window);
    }
    ShowWindow(panel, SW_HIDE);
}

const WriteResult& frmTemperatureOne::AboutFile() {
    m_aboutFilePath = m_services.searchPage.path();
    return m_services.searchPage.write();
}

// The browser lookup and the report of a page that could not be written wait until the window has
// been painted, so that neither holds up the first sight of it.
void frmTemperatureOne::Form_Load() {
    cmdRefresh_Click();
    m_loaded = true;
}

void frmTemperatureOne::onFirstPaint() {
    m_services.launcher.FindBrowser();
    if (const WriteResult& page = m_services.searchPage.writeResult(); !page) {
        m_services.messages.show(page.message(), version::kProgramTitle, MessageIcon::Information);
    }
}

void frmTemperatureOne::cmdRefresh_Click() {
    if (!m_aboutFilePath.empty()) {
        m_webBrowser->navigate(m_aboutFilePath);
    }
}

void frmTemperatureOne::arrangeForStartUp() {
    const int dpi = dotsPerInch();
    const SIZE frame = frameSize(m_window);
    const RECT conversion = pixelRect(m_design.control("Frame2").rect, dpi);
    const int width = layout::twipsToPixels(layout::kMainWindowOuterWidth, dpi) - frame.cx;
    const int height =
        std::max(layout::twipsToPixels(layout::kMainWindowOuterHeight, dpi) - frame.cy,
                 conversion.bottom + layout::twipsToPixels(kPanelBottomMarginTwips, dpi));
    setClientSize(width, height);
    SetWindowPos(control("Frame1"), nullptr, conversion.left, conversion.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_arrangedForStartUp = true;
}

// Closing the window ends the run; the search page, the dialogs and the help go with it.
void frmTemperatureOne::Form_Unload() {
    m_services.searchPage.remove();
    m_preferences.reset();
    m_about.reset();
    m_help.closeAll();
}

// Ends the run at once.
void frmTemperatureOne::cmd_Exit_Click() {
    m_services.searchPage.remove();
    m_help.closeAll();
    if (m_services.endRun) {
        m_services.endRun();
    }
}

}  // namespace tolvane::win32
