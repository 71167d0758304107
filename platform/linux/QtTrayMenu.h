#pragma once

#include <QMenu>
#include <QObject>
#include <map>
#include <memory>

#include "platform/common/RunState.h"
#include "platform/linux/Trace.h"
#include "platform/linux/TrayHost.h"
#include "platform/ports/TrayMenu.h"

namespace ww::platform {

class QtTrayView;

// The tray icon's popup menu as a QMenu.
//
// An XEmbed icon gets no menu from Qt: its right press reaches the logic as
// the right-press code, and the logic pops the menu up at the cursor. A
// StatusNotifierItem host shows the menu itself, from the icon's context
// menu sent over D-Bus; just before it does, the menu delivers the right-press
// code to the logic, whose popup request then finds the menu showing. Either
// way the logic sets the checks and greys right before the menu shows.
class QtTrayMenu final : public TrayMenu {
  public:
    QtTrayMenu(TrayKind kind, Trace& trace, const RunState& run);
    ~QtTrayMenu() override;
    QtTrayMenu(const QtTrayMenu&) = delete;
    QtTrayMenu& operator=(const QtTrayMenu&) = delete;

    void CreateMenu(const std::vector<MenuItem>& items, int defaultId,
                    TrayMenuEvents& events) override;
    void SetItemState(int id, bool checked, bool enabled) override;
    void PopupMenu() override;

    // For a StatusNotifierItem icon: hands the menu to `view` and reports the
    // host's showing of it there as a right press. Nothing for XEmbed. The
    // view must outlive this menu.
    void AttachTo(QtTrayView& view);

    QMenu& Menu() { return *menu_; }
    QAction* Action(int id) const;

  private:
    void AboutToShow();
    void Chosen(int id);

    TrayKind kind_;
    Trace& trace_;
    const RunState& run_;
    std::unique_ptr<QMenu> menu_;
    std::map<int, QAction*> actions_;
    TrayMenuEvents* events_ = nullptr;
    QtTrayView* view_ = nullptr;
    bool poppingUp_ = false;  // our own popup: the logic asked already
    bool aboutToShow_ = false;
};

}  // namespace ww::platform
