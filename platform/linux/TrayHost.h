#pragma once

#include <QTimer>
#include <functional>

#include "platform/linux/SniTrayWatcher.h"
#include "platform/linux/Trace.h"
#include "platform/linux/XEmbedTrayWatcher.h"

namespace ww::platform {

// Which protocol the tray icon speaks. Qt chooses once, when the tray icon
// is made: StatusNotifierItem when a watcher is on the session bus, XEmbed
// otherwise; the host that counts is the one of that protocol.
enum class TrayKind { XEmbed, Sni };

// The tray host (the notification area) of the icon's protocol: whether one
// is there, and when it goes away or (re)appears.
class TrayHost {
  public:
    TrayHost(X11Session& x11, Trace& trace);

    // Decided at construction, before the tray icon is made.
    TrayKind Kind() const { return kind_; }

    // Starts following the host; traces what is there now.
    void Start();
    bool Present() const;

    std::function<void()> onLost;
    // Comes a moment after the host is seen, once the toolkit has seen it too.
    std::function<void()> onAppeared;

    // How long a new host is given before the icon is put into it.
    static constexpr int kSettleMs = 250;

  private:
    void Lost();
    void Appeared();

    Trace& trace_;
    TrayKind kind_;
    XEmbedTrayWatcher xembed_;
    SniTrayWatcher sni_;
    QTimer settle_;
};

const char* TrayKindName(TrayKind kind);

}  // namespace ww::platform
