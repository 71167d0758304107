#include "platform/linux/TrayHost.h"

#include <string>

namespace ww::platform {

const char* TrayKindName(TrayKind kind) {
    return kind == TrayKind::Sni ? "sni" : "xembed";
}

TrayHost::TrayHost(X11Session& x11, Trace& trace)
    : trace_(trace),
      kind_(SniTrayWatcher::WatcherRegistered() ? TrayKind::Sni : TrayKind::XEmbed),
      xembed_(x11) {
    // Qt follows the XEmbed host on its own connection: when it sees a new
    // one it drops its icon window and, for a visible icon, docks a fresh
    // one. Our connection may hear of the host first; an icon shown right
    // then would be docked, torn down and docked again, leaving a gap in the
    // tray. So the news waits until Qt has had its turn.
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    QObject::connect(&settle_, &QTimer::timeout, &settle_, [this] {
        if (onAppeared) {
            onAppeared();
        }
    });
}

void TrayHost::Start() {
    if (kind_ == TrayKind::Sni) {
        sni_.onLost = [this] { Lost(); };
        sni_.onAppeared = [this] { Appeared(); };
        sni_.Start();
    } else {
        xembed_.onLost = [this] { Lost(); };
        xembed_.onAppeared = [this] { Appeared(); };
        xembed_.Start();
    }
    trace_.Write(Present() ? std::string("host present ") + TrayKindName(kind_)
                           : std::string("host none"));
}

bool TrayHost::Present() const {
    return kind_ == TrayKind::Sni ? sni_.Present() : xembed_.Present();
}

void TrayHost::Lost() {
    settle_.stop();
    trace_.Write("host lost");
    if (onLost) {
        onLost();
    }
}

void TrayHost::Appeared() {
    trace_.Write(std::string("host appeared ") + TrayKindName(kind_));
    settle_.start();
}

}  // namespace ww::platform
