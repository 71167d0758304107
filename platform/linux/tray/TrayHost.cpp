#include "platform/linux/tray/TrayHost.h"

#include <string>

namespace ww::platform {

const char* TrayKindName(TrayKind kind) {
    switch (kind) {
        case TrayKind::Sni:
            return "sni";
        case TrayKind::XEmbed:
            return "xembed";
        case TrayKind::None:
            break;
    }
    return "none";
}

TrayHost::TrayHost(X11Session& x11, Trace& trace) : trace_(trace), xembed_(x11) {
    // Qt follows the XEmbed host on its own connection: when it sees a new
    // one it drops its icon window and, for a visible icon, docks a fresh
    // one. Our connection may hear of the host first; an icon shown right
    // then would be docked, torn down and docked again, leaving a gap in the
    // tray. So the news waits until Qt has had its turn.
    settle_.setSingleShot(true);
    // Late, it loses the race against the next tick, whose repair would put
    // the icon back with the start-up tooltip instead of the last one.
    settle_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&settle_, &QTimer::timeout, &settle_, [this] {
        if (kind_ != TrayKind::None && onAppeared) {
            onAppeared();
        }
    });
}

TrayKind TrayHost::Choose(bool sniWatcher, bool sniHost, bool xembed) {
    if (sniWatcher && sniHost) {
        return TrayKind::Sni;
    }
    if (xembed) {
        return TrayKind::XEmbed;
    }
    return sniWatcher ? TrayKind::Sni : TrayKind::None;
}

void TrayHost::Start() {
    xembed_.onLost = [this] { Reconsider(TrayKind::None); };
    xembed_.onAppeared = [this] { Reconsider(TrayKind::XEmbed); };
    xembed_.Start();
    sni_.onChange = [this](SniTrayWatcher::Change change) { OnSniChange(change); };
    sni_.Start();
    kind_ = Choose(sni_.WatcherPresent(), sni_.HostPresent(), xembed_.Present());
    trace_.Write(Present() ? std::string("host present ") + TrayKindName(kind_)
                           : std::string("host none"));
}

void TrayHost::OnSniChange(SniTrayWatcher::Change change) {
    switch (change) {
        case SniTrayWatcher::Change::WatcherGone:
            trace_.Write("sni watcher gone");
            Reconsider(TrayKind::None);
            break;
        case SniTrayWatcher::Change::WatcherAppeared:
            trace_.Write(sni_.HostPresent() ? "sni watcher appeared host" : "sni watcher appeared");
            Reconsider(TrayKind::Sni);
            break;
        case SniTrayWatcher::Change::HostRegistered:
            trace_.Write("sni host registered");
            Reconsider(TrayKind::Sni);
            break;
        case SniTrayWatcher::Change::HostsGone:
            trace_.Write("sni hosts gone");
            Reconsider(TrayKind::None);
            break;
        case SniTrayWatcher::Change::BusLost:
            trace_.Write("sni bus lost");
            Reconsider(TrayKind::None);
            break;
        case SniTrayWatcher::Change::BusBack:
            // As after a restart of the watcher: the item registers anew.
            trace_.Write(sni_.HostPresent() ? "sni bus back host" : "sni bus back");
            Reconsider(TrayKind::Sni);
            break;
    }
}

TrayHost::Move TrayHost::Next(TrayKind from, TrayKind to, TrayKind renewed) {
    if (to == from && (to == TrayKind::None || to != renewed)) {
        return {};
    }
    return {from != TrayKind::None && to != from, to != TrayKind::None};
}

void TrayHost::Reconsider(TrayKind renewed) {
    const TrayKind next = Choose(sni_.WatcherPresent(), sni_.HostPresent(), xembed_.Present());
    const Move move = Next(kind_, next, renewed);
    if (move.lost) {
        settle_.stop();
        trace_.Write(std::string("host lost ") + TrayKindName(kind_));
        kind_ = TrayKind::None;
        if (onLost) {
            onLost();
        }
    }
    kind_ = next;
    if (move.appeared) {
        trace_.Write(std::string("host appeared ") + TrayKindName(kind_));
        // Our own item needs no such wait, but a watcher without a host yet
        // gets one: waybar registers its host a moment after taking the
        // watcher's name, and renewing the item then, while that host reads
        // it, leaves it undrawn. The pending news, restarted, serves both.
        settle_.start(kind_ == TrayKind::XEmbed ? kSettleMs : sni_.HostPresent() ? 0 : kSettleMs);
    }
}

}  // namespace ww::platform
