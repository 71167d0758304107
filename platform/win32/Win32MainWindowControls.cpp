#include "platform/win32/Win32MainWindowControls.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "platform/win32/SystemCodePage.h"
#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

constexpr int kFirstControlId = 100;
constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;

bool IsContainer(ControlKind kind) {
    return kind == ControlKind::TabControl || kind == ControlKind::Frame ||
           kind == ControlKind::Panel;
}

struct WindowKind {
    const char* className;
    long style;  // the style macros are of both signs' types
    long exStyle;
};

WindowKind KindOf(const ControlLayout& layout) {
    switch (layout.kind) {
        case ControlKind::TabControl:
            return {WC_TABCONTROLA, WS_TABSTOP | TCS_FIXEDWIDTH, 0};
        case ControlKind::Frame:
            return {"BUTTON", BS_GROUPBOX, 0};
        case ControlKind::Panel:
            return {"STATIC", SS_LEFT, 0};
        case ControlKind::TextField:
            // A read-only field is no tab stop: the user has nothing to do there.
            return {"EDIT", ES_LEFT | ES_AUTOHSCROLL | (layout.readOnly ? ES_READONLY : WS_TABSTOP),
                    WS_EX_CLIENTEDGE};
        case ControlKind::Label:
            return {"STATIC", SS_NOPREFIX | (layout.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP), 0};
        case ControlKind::LinkLabel:
            // SS_NOTIFY: the link takes the mouse itself (pointer, click, tooltip).
            return {"STATIC", SS_NOPREFIX | SS_LEFTNOWORDWRAP | SS_NOTIFY, 0};
        case ControlKind::CheckBox:
            // Not BS_AUTO3STATE: a click never greys a box, so the view sets the state.
            return {"BUTTON", BS_3STATE | WS_TABSTOP, 0};
        case ControlKind::Button:
            return {"BUTTON", (layout.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP,
                    0};
        case ControlKind::Picture:
            return {"STATIC", SS_ICON | SS_NOTIFY, 0};
        case ControlKind::Line:
            return {"STATIC", SS_ETCHEDHORZ, 0};
    }
    return {"STATIC", SS_LEFT, 0};
}

// The text a label needs on one line, in pixels, with its own font.
SIZE TextExtent(HWND window) {
    const std::string text = GetWindowTextUtf8(window);
    const std::string shown = ToSystemCodePage(text);
    HDC dc = ::GetDC(window);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, 0, 0};
    ::DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &rect,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    if (shown.empty()) {
        TEXTMETRICA metrics{};
        ::GetTextMetricsA(dc, &metrics);
        rect.bottom = metrics.tmHeight;
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// The twip position of a container's corner on the dialog.
POINT Origin(const BuiltControls& controls, MainControl container) {
    POINT origin{0, 0};
    for (int depth = 0; container != MainControl::Window && depth < 16; ++depth) {
        const auto found = controls.find(container);
        if (found == controls.end()) {
            break;
        }
        origin.x += found->second.layout.left;
        origin.y += found->second.layout.top;
        container = found->second.layout.container;
    }
    return origin;
}

int Depth(const BuiltControls& controls, const ControlLayout& layout) {
    int depth = 0;
    for (MainControl at = layout.container; at != MainControl::Window && depth < 16; ++depth) {
        const auto found = controls.find(at);
        if (found == controls.end()) {
            break;
        }
        at = found->second.layout.container;
    }
    return depth;
}

// The window has no manifest, so Windows draws the tab control in the classic
// look, on the button face like the dialog. Wine themes it all the same and
// paints the pages white behind grey labels; naming no theme gives both
// systems the classic control. Only a comctl32 that themes loads uxtheme.
void UseClassicLook(HWND window) {
    using SetThemeFunction = HRESULT(WINAPI*)(HWND, const wchar_t*, const wchar_t*);
    const auto setTheme =
        LookUp<SetThemeFunction>(::GetModuleHandleA("uxtheme.dll"), "SetWindowTheme");
    if (setTheme != nullptr) {
        setTheme(window, L" ", L" ");
    }
}

HWND Make(const ControlBuild& build, const ControlLayout& layout) {
    const WindowKind kind = KindOf(layout);
    const DWORD visible = layout.page <= 0 ? WS_VISIBLE : 0;
    const std::string caption = ToSystemCodePage(layout.caption);
    HWND window = ::CreateWindowExA(
        static_cast<DWORD>(kind.exStyle), kind.className, caption.c_str(),
        kChild | visible | static_cast<DWORD>(kind.style), 0, 0, 0, 0, build.dialog,
        reinterpret_cast<HMENU>(
            static_cast<std::uintptr_t>(static_cast<unsigned>(ControlId(layout)))),
        build.instance, nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    const bool link = layout.kind == ControlKind::LinkLabel;
    HFONT font = build.fonts.Get(layout.bold, layout.underline || link);
    ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (layout.kind == ControlKind::Picture && build.picture != nullptr) {
        ::SendMessageA(window, STM_SETICON, reinterpret_cast<WPARAM>(build.picture), 0);
    }
    if (layout.kind == ControlKind::TabControl) {
        UseClassicLook(window);
        for (std::size_t i = 0; i < build.windowLayout.tabs.size(); ++i) {
            std::string label = ToSystemCodePage(build.windowLayout.tabs[i]);
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = label.data();
            ::SendMessageA(window, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
        }
    }
    return window;
}

// The tabs share the row's whole width, as on a tabbed dialog.
void SpreadTabs(HWND tabs, std::size_t count) {
    RECT client{};
    RECT item{};
    ::GetClientRect(tabs, &client);
    if (count == 0 ||
        ::SendMessageA(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)) == 0) {
        return;
    }
    // The selected tab stands out by two pixels on either side.
    const int width = (client.right - client.left - 4) / static_cast<int>(count);
    ::SendMessageA(tabs, TCM_SETITEMSIZE, 0, MAKELPARAM(width, item.bottom - item.top));
}

// Stacking order is tab order and painting order: what the user works with,
// in the layout's order; the other controls, the layout's later ones above
// its earlier ones where they overlap (the status fields share their edges);
// the buttons by their tab index; then the containers, innermost first, so
// that none paints over what it holds. The map's order is the layout's.
void Stack(const BuiltControls& controls) {
    enum Rank { kTabStop, kOther, kButton, kContainer };
    auto rank = [](const BuiltControl* c) {
        if (IsContainer(c->layout.kind)) {
            return kContainer;
        }
        if (c->layout.kind == ControlKind::Button) {
            return kButton;
        }
        return (::GetWindowLongA(c->window, GWL_STYLE) & WS_TABSTOP) != 0 ? kTabStop : kOther;
    };
    std::vector<const BuiltControl*> order;
    for (const auto& [id, control] : controls) {
        order.push_back(&control);
    }
    std::stable_sort(order.begin(), order.end(), [&](const BuiltControl* a, const BuiltControl* b) {
        if (rank(a) != rank(b)) {
            return rank(a) < rank(b);
        }
        switch (rank(a)) {
            case kOther:
                return a->layout.id > b->layout.id;
            case kButton:
                return a->layout.tabIndex < b->layout.tabIndex;
            case kContainer:
                return Depth(controls, a->layout) > Depth(controls, b->layout);
            case kTabStop:
                break;
        }
        return false;
    });
    HWND above = HWND_TOP;
    for (const BuiltControl* control : order) {
        ::SetWindowPos(control->window, above, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        above = control->window;
    }
}

void AddToolTips(const ControlBuild& build, const BuiltControls& controls) {
    HWND tips = nullptr;
    for (const auto& [id, control] : controls) {
        if (control.layout.toolTip.empty()) {
            continue;
        }
        if (tips == nullptr) {
            tips =
                ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  build.dialog, nullptr, build.instance, nullptr);
            if (tips == nullptr) {
                return;
            }
        }
        std::string text = ToSystemCodePage(control.layout.toolTip);
        TOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;  // the size every comctl32 knows
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = build.dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(control.window);
        tool.lpszText = text.data();
        ::SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

}  // namespace

int ControlId(const ControlLayout& layout) {
    if (layout.isDefault) {
        return IDOK;
    }
    if (layout.isCancel) {
        return IDCANCEL;
    }
    return kFirstControlId + static_cast<int>(layout.id);
}

BuiltControls BuildMainWindowControls(const ControlBuild& build) {
    BuiltControls built;
    // A control whose container is not built yet waits for a later pass.
    std::vector<const ControlLayout*> pending;
    for (const ControlLayout& layout : build.windowLayout.controls) {
        if (layout.id != MainControl::Window) {
            pending.push_back(&layout);
        }
    }
    while (!pending.empty()) {
        std::vector<const ControlLayout*> waiting;
        for (const ControlLayout* layout : pending) {
            if (layout->container != MainControl::Window && !built.contains(layout->container)) {
                waiting.push_back(layout);
                continue;
            }
            if (HWND window = Make(build, *layout)) {
                built.emplace(layout->id, BuiltControl{*layout, window});
                PlaceControl(built, layout->id, build.scale);
                if (layout->kind == ControlKind::TabControl) {
                    SpreadTabs(window, build.windowLayout.tabs.size());
                }
            }
        }
        if (waiting.size() == pending.size()) {
            break;  // containers that never come: those controls are left out
        }
        pending = std::move(waiting);
    }
    Stack(built);
    for (const auto& [id, control] : built) {
        if (control.layout.isDefault) {
            ::SendMessageA(build.dialog, DM_SETDEFID,
                           static_cast<WPARAM>(ControlId(control.layout)), 0);
        }
    }
    AddToolTips(build, built);
    return built;
}

void PlaceControl(const BuiltControls& controls, MainControl id, const Win32TwipScale& scale) {
    const auto found = controls.find(id);
    if (found == controls.end()) {
        return;
    }
    const BuiltControl& control = found->second;
    const ControlLayout& layout = control.layout;
    const POINT origin = Origin(controls, layout.container);
    RECT rect = scale.ToPixelRect(origin.x + layout.left, origin.y + layout.top, layout.width,
                                  layout.height);
    if (layout.kind == ControlKind::Line) {
        rect.bottom = rect.top + 2;  // an etched rule: a dark and a light line
    } else if (layout.autoSize) {
        const SIZE text = TextExtent(control.window);
        rect.right = rect.left + text.cx;
        rect.bottom = rect.top + text.cy;
    }
    ::SetWindowPos(control.window, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowPage(const BuiltControls& controls, int page) {
    HWND focus = ::GetFocus();
    // Hide first, so the page never shows two pages' controls at once.
    for (const auto& [id, control] : controls) {
        if (control.layout.page >= 0 && control.layout.page != page) {
            if (control.window == focus) {
                const auto tabs = controls.find(MainControl::SSTab1);
                ::SetFocus(tabs != controls.end() ? tabs->second.window : nullptr);
            }
            ::ShowWindow(control.window, SW_HIDE);
        }
    }
    for (const auto& [id, control] : controls) {
        if (control.layout.page == page) {
            ::ShowWindow(control.window, SW_SHOWNA);
        }
    }
}

void SetWindowTextUtf8(HWND window, std::string_view text) {
    ::SetWindowTextA(window, ToSystemCodePage(text).c_str());
}

std::string GetWindowTextUtf8(HWND window) {
    const int length = ::GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    const int copied = ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return FromSystemCodePage(text);
}

}  // namespace ww::platform
