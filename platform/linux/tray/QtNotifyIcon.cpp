#include "platform/linux/tray/QtNotifyIcon.h"

#include <array>
#include <string>

#include "platform/linux/qt/PaletteIconEngine.h"

namespace ww::platform {
namespace {

// What an add without a picture shows: the toolkit will not show an icon
// without one.
QIcon BlankIcon() {
    static const std::array<std::uint8_t, 16 * 16> pixels = [] {
        std::array<std::uint8_t, 16 * 16> all{};
        all.fill(kTransparent);
        return all;
    }();
    return QIcon(new PaletteIconEngine(IconImage{16, pixels}));
}

}  // namespace

QtNotifyIcon::QtNotifyIcon(TrayView& view, WindowTable& windows, Trace& trace, const RunState& run)
    : view_(view), windows_(windows), trace_(trace), run_(run), blank_(BlankIcon()) {
    view_.SetClickHandler([this](TrayClick click) { OnClick(click); });
}

bool QtNotifyIcon::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
    switch (message) {
        case nim::kAdd: {
            const bool ok = Add(data);
            TraceRequest("add", ok, data);
            return ok;
        }
        case nim::kModify: {
            const bool ok = Modify(data);
            TraceRequest("modify", ok, data);
            return ok;
        }
        case nim::kDelete: {
            const bool ok = Delete(data);
            TraceRequest("delete", ok, data);
            return ok;
        }
        default:
            return false;
    }
}

HIcon QtNotifyIcon::CreateIconFromImage(const IconImage& image) {
    if (!IsValidIconImage(image)) {
        return 0;
    }
    const HIcon handle = ++lastIcon_;
    icons_.emplace(handle, QIcon(new PaletteIconEngine(image)));
    return handle;
}

void QtNotifyIcon::SetHost(bool present) {
    hostPresent_ = present;
}

void QtNotifyIcon::HostLost() {
    hostPresent_ = false;
    if (inTray_) {
        inTray_ = false;
        ShowView(false);
    }
}

void QtNotifyIcon::HostAppeared() {
    hostPresent_ = true;
}

bool QtNotifyIcon::Add(const NotifyIconData& data) {
    if (inTray_ || !hostPresent_) {
        return false;
    }
    window_ = data.hWnd;
    id_ = data.uID;
    // An add starts afresh: what its flags do not name is empty.
    callbackMessage_ = 0;
    icon_ = 0;
    tip_.clear();
    Take(data);
    Sync();
    ShowView(true);
    inTray_ = true;
    return true;
}

bool QtNotifyIcon::Modify(const NotifyIconData& data) {
    if (!inTray_ || !SameIcon(data)) {
        return false;
    }
    Take(data);
    Sync();
    return true;
}

bool QtNotifyIcon::Delete(const NotifyIconData& data) {
    if (!inTray_ || !SameIcon(data)) {
        return false;
    }
    inTray_ = false;
    ShowView(false);
    return true;
}

bool QtNotifyIcon::SameIcon(const NotifyIconData& data) const {
    return data.hWnd == window_ && data.uID == id_;
}

void QtNotifyIcon::Take(const NotifyIconData& data) {
    if ((data.uFlags & nif::kMessage) != 0) {
        callbackMessage_ = data.uCallbackMessage;
    }
    if ((data.uFlags & nif::kIcon) != 0) {
        icon_ = data.hIcon;
    }
    if ((data.uFlags & nif::kTip) != 0) {
        tip_.assign(TipText(data));
    }
}

void QtNotifyIcon::Sync() {
    if (viewTip_ != tip_) {
        view_.SetToolTip(QString::fromUtf8(tip_.data(), static_cast<qsizetype>(tip_.size())));
        viewTip_ = tip_;
        if (trace_.Enabled()) {
            trace_.Write("qt tooltip " + Trace::Quote(tip_));
        }
    }
    if (viewIcon_ != icon_) {
        const auto known = icons_.find(icon_);
        view_.SetIcon(known != icons_.end() ? known->second : blank_);
        viewIcon_ = icon_;
        if (trace_.Enabled()) {
            trace_.Write("qt icon " + std::to_string(icon_));
        }
    }
}

void QtNotifyIcon::ShowView(bool shown) {
    if (viewShown_ == shown) {
        return;
    }
    viewShown_ = shown;
    if (shown) {
        view_.Show();
        trace_.Write("qt shown");
    } else {
        view_.Hide();
        trace_.Write("qt hidden");
    }
}

void QtNotifyIcon::OnClick(TrayClick click) {
    if (run_.Ended() || !inTray_ || callbackMessage_ == 0) {
        return;
    }
    std::intptr_t code = 0;
    switch (click) {
        case TrayClick::DoubleClick:
            code = kLButtonDblClk;
            break;
        case TrayClick::Context:
            code = kRButtonDown;
            break;
        case TrayClick::Trigger:
            code = kLButtonUp;
            break;
        case TrayClick::Middle:
            code = kMButtonUp;
            break;
    }
    if (trace_.Enabled()) {
        trace_.Write("click " + std::to_string(code));
    }
    windows_.Send(window_, callbackMessage_, id_, code);
}

void QtNotifyIcon::TraceRequest(const char* what, bool ok, const NotifyIconData& data) const {
    if (!trace_.Enabled()) {
        return;
    }
    std::string line = std::string("notify ") + what + (ok ? " ok" : " fail");
    const bool add = std::string_view(what) == "add";
    if (add || (std::string_view(what) == "modify" && (data.uFlags & nif::kIcon) != 0)) {
        line += " hIcon=" + std::to_string(data.hIcon);
    }
    if (add || (std::string_view(what) == "modify" && (data.uFlags & nif::kTip) != 0)) {
        line += " tip=" + Trace::Quote(TipText(data));
    }
    trace_.Write(line);
}

}  // namespace ww::platform
