#include "platform/linux/tray/QtTrayMenu.h"

#include <QCursor>

#include "platform/linux/tray/QtTrayView.h"

namespace ww::platform {

QtTrayMenu::QtTrayMenu(Trace& trace, const RunState& run)
    : trace_(trace), run_(run), menu_(std::make_unique<QMenu>()), sniMenu_(trace) {
    QObject::connect(menu_.get(), &QMenu::aboutToShow, menu_.get(),
                     [this] { trace_.Write("menu shown"); });
    sniMenu_.entries = [this] { return Entries(); };
    sniMenu_.onOpening = [this] { HostOpens(); };
    sniMenu_.onClicked = [this](std::size_t index) {
        const QList<QAction*> all = menu_->actions();
        if (index < static_cast<std::size_t>(all.size())) {
            all[static_cast<qsizetype>(index)]->trigger();
        }
    };
}

QtTrayMenu::~QtTrayMenu() {
    events_ = nullptr;
}

void QtTrayMenu::CreateMenu(const std::vector<MenuItem>& items, int defaultId,
                            TrayMenuEvents& events) {
    menu_->clear();
    actions_.clear();
    checkItems_.clear();
    for (const MenuItem& item : items) {
        if (item.caption == "-") {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(QString::fromStdString(item.caption));
        const int id = item.id;
        // The choice reaches the logic from the event loop, after the menu
        // has closed, as a chosen item does after the system's popup returns.
        QObject::connect(
            action, &QAction::triggered, menu_.get(), [this, id] { Chosen(id); },
            Qt::QueuedConnection);
        actions_[id] = action;
        if (item.check) {
            checkItems_.insert(id);
        }
        if (id == defaultId) {
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
            menu_->setDefaultAction(action);
        }
    }
    events_ = &events;
    sniMenu_.Rebuilt();
}

// Only a checked item shows a check box: an unchecked one looks like any
// other item, as in the system's menus.
void QtTrayMenu::SetItemState(int id, bool checked, bool enabled) {
    QAction* action = Action(id);
    if (action == nullptr) {
        return;
    }
    if (action->isChecked() == checked && action->isEnabled() == enabled) {
        return;
    }
    action->setCheckable(checked);
    action->setChecked(checked);
    action->setEnabled(enabled);
    sniMenu_.Changed();
}

void QtTrayMenu::PopupMenu() {
    if (hostShowing_ || menu_->isVisible() || actions_.empty()) {
        return;  // the host is showing it already
    }
    menu_->popup(popupAt_.value_or(QCursor::pos()));
}

void QtTrayMenu::AttachTo(QtTrayView& view) {
    view_ = &view;
    view.SetMenu(&sniMenu_.Exported(), [this](QPoint at) { HostAsksAt(at); });
}

QAction* QtTrayMenu::Action(int id) const {
    const auto found = actions_.find(id);
    return found != actions_.end() ? found->second : nullptr;
}

std::vector<SniMenuEntry> QtTrayMenu::Entries() const {
    std::vector<SniMenuEntry> entries;
    for (const QAction* action : menu_->actions()) {
        if (action->isSeparator()) {
            entries.push_back(SniMenuEntry{true, {}, false, false, true});
            continue;
        }
        bool check = false;
        for (const auto& [id, known] : actions_) {
            if (known == action) {
                check = checkItems_.contains(id);
            }
        }
        entries.push_back(
            SniMenuEntry{false, action->text(), check, action->isChecked(), action->isEnabled()});
    }
    return entries;
}

void QtTrayMenu::HostOpens() {
    if (view_ == nullptr || run_.Ended()) {
        return;
    }
    // The host is about to show the menu: the logic decides its states now,
    // synchronously, as on a right press.
    hostShowing_ = true;
    view_->ReportClick(TrayClick::Context);
    hostShowing_ = false;
}

void QtTrayMenu::HostAsksAt(QPoint at) {
    if (view_ == nullptr || run_.Ended()) {
        return;
    }
    popupAt_ = at;
    view_->ReportClick(TrayClick::Context);
    popupAt_.reset();
}

void QtTrayMenu::Chosen(int id) {
    if (run_.Ended() || events_ == nullptr) {
        return;
    }
    trace_.Write("menu command " + std::to_string(id));
    events_->MenuCommand(id);
}

}  // namespace ww::platform
