#pragma once

#include <QTimer>
#include <functional>

#include "platform/linux/trace/Trace.h"
#include "platform/linux/tray/sni/SniTrayWatcher.h"
#include "platform/linux/tray/xembed/XEmbedTrayWatcher.h"

namespace ww::platform {

// Where the tray icon shows: as our own StatusNotifierItem, in an XEmbed
// tray through the toolkit, or nowhere.
enum class TrayKind { None, XEmbed, Sni };

// The trays of the session and which of them holds the icon. A
// StatusNotifierItem host wins over an XEmbed tray: desktops that proxy
// XEmbed icons into their StatusNotifierItem host would show the icon twice.
// A watcher without a host still takes the item when no XEmbed tray is
// there, so that the host it waits for finds it.
class TrayHost {
  public:
    TrayHost(X11Session& x11, Trace& trace);

    // Starts following both kinds of tray; traces what is there now.
    void Start();
    TrayKind Kind() const { return kind_; }
    bool Present() const { return kind_ != TrayKind::None; }

    // The tray that held the icon went away, or gives way to another.
    std::function<void()> onLost;
    // A tray to put the icon into (again), a moment after it was seen, once
    // the toolkit has seen it too.
    std::function<void()> onAppeared;

    static TrayKind Choose(bool sniWatcher, bool sniHost, bool xembed);

    // Going from one tray to the next, when the tray of kind `renewed` came
    // back afresh: whether the icon leaves its tray, and whether it is put
    // into one (again), the "TaskbarCreated" of the logic.
    struct Move {
        bool lost = false;
        bool appeared = false;
        bool operator==(const Move&) const = default;
    };
    static Move Next(TrayKind from, TrayKind to, TrayKind renewed);

    // How long a new host is given before the icon is put into it.
    static constexpr int kSettleMs = 250;

  private:
    // Moves to the tray there is now; `renewed` is the kind of tray that
    // came back afresh and wants the icon again even if the kind stays.
    void Reconsider(TrayKind renewed);
    void OnSniChange(SniTrayWatcher::Change change);

    Trace& trace_;
    TrayKind kind_ = TrayKind::None;
    XEmbedTrayWatcher xembed_;
    SniTrayWatcher sni_;
    QTimer settle_;
};

const char* TrayKindName(TrayKind kind);

}  // namespace ww::platform
