#pragma once

#include <QMenu>
#include <QObject>
#include <QPoint>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "platform/common/RunState.h"
#include "platform/linux/trace/Trace.h"
#include "platform/linux/tray/sni/SniMenu.h"
#include "platform/ports/TrayMenu.h"

namespace ww::platform {

class QtTrayView;

// The tray icon's popup menu as a QMenu, and the same menu over dbusmenu.
//
// A right press on the XEmbed icon, or a StatusNotifierItem host's
// ContextMenu request, reaches the logic as the right-press code, and the
// logic pops the QMenu up (at the point the host named). A host that draws
// the menu itself asks over dbusmenu; the menu then delivers the right-press
// code to the logic, whose popup request finds the host showing it. Either
// way the logic sets the checks and greys right before the menu shows.
class QtTrayMenu final : public TrayMenu {
  public:
    QtTrayMenu(Trace& trace, const RunState& run);
    ~QtTrayMenu() override;
    QtTrayMenu(const QtTrayMenu&) = delete;
    QtTrayMenu& operator=(const QtTrayMenu&) = delete;

    void CreateMenu(const std::vector<MenuItem>& items, int defaultId,
                    TrayMenuEvents& events) override;
    void SetItemState(int id, bool checked, bool enabled) override;
    void PopupMenu() override;
    // A dbusmenu host may draw the menu from what it read last.
    bool ShownWithoutAsking() const override { return true; }

    // Reports the host's requests for the menu to `view` as right presses
    // and hands it the dbusmenu object. The view must outlive this menu.
    void AttachTo(QtTrayView& view);

    QMenu& Menu() { return *menu_; }
    QAction* Action(int id) const;
    DBusExport& Exported() { return sniMenu_.Exported(); }
    std::vector<SniMenuEntry> Entries() const;

  private:
    void HostOpens();
    void HostAsksAt(QPoint at);
    void Chosen(int id);

    Trace& trace_;
    const RunState& run_;
    std::unique_ptr<QMenu> menu_;
    std::map<int, QAction*> actions_;
    std::set<int> checkItems_;
    TrayMenuEvents* events_ = nullptr;
    QtTrayView* view_ = nullptr;
    SniMenu sniMenu_;
    bool hostShowing_ = false;  // a dbusmenu host shows it, not us
    std::optional<QPoint> popupAt_;
};

}  // namespace ww::platform
