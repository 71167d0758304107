#pragma once

#include <QIcon>
#include <QString>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/common/RunState.h"
#include "platform/common/WindowTable.h"
#include "platform/linux/trace/Trace.h"
#include "platform/linux/tray/TrayView.h"
#include "platform/ports/NotifyIcon.h"

namespace ww::platform {

// Shell_NotifyIconA over one toolkit tray icon, keyed by (hWnd, uID).
//
// The logic sends its tooltip and picture every tick; the toolkit would
// resend each to the tray host (flicker, bus traffic), so only real changes
// reach the view while every request still gets its answer. The icon is "in
// the tray" from a successful add to a delete or the loss of the host; modify
// and delete fail outside that, and add fails while no host is there.
class QtNotifyIcon final : public NotifyIcon {
  public:
    // Mouse codes sent to the icon's window, in lParam of its callback message.
    static constexpr std::intptr_t kLButtonUp = 0x202;
    static constexpr std::intptr_t kLButtonDblClk = 0x203;
    static constexpr std::intptr_t kRButtonDown = 0x204;
    static constexpr std::intptr_t kMButtonUp = 0x208;

    QtNotifyIcon(TrayView& view, WindowTable& windows, Trace& trace, const RunState& run);

    bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) override;
    HIcon CreateIconFromImage(const IconImage& image) override;

    // Whether a tray host is there, at start.
    void SetHost(bool present);
    // The host went away: the icon left the tray with it.
    void HostLost();
    // A host is there again; the icon comes back when the logic adds it.
    void HostAppeared();

    bool InTray() const { return inTray_; }

  private:
    bool Add(const NotifyIconData& data);
    bool Modify(const NotifyIconData& data);
    bool Delete(const NotifyIconData& data);
    bool SameIcon(const NotifyIconData& data) const;
    // Takes the fields named in data.uFlags.
    void Take(const NotifyIconData& data);
    // Passes what differs from the view's state on to the view.
    void Sync();
    void ShowView(bool shown);
    void OnClick(TrayClick click);
    void TraceRequest(const char* what, bool ok, const NotifyIconData& data) const;

    TrayView& view_;
    WindowTable& windows_;
    Trace& trace_;
    const RunState& run_;
    bool hostPresent_ = false;

    std::map<HIcon, QIcon> icons_;
    HIcon lastIcon_ = 0;
    QIcon blank_;

    // The icon as the logic last set it.
    bool inTray_ = false;
    Hwnd window_ = 0;
    std::uint32_t id_ = 0;
    std::uint32_t callbackMessage_ = 0;
    HIcon icon_ = 0;
    // The tip as bytes: the tick sets the same text most of the time, and
    // comparing bytes spares converting it every time.
    std::string tip_;

    // What the view holds now; nullopt until first set.
    std::optional<std::string> viewTip_;
    std::optional<HIcon> viewIcon_;
    bool viewShown_ = false;
};

}  // namespace ww::platform
