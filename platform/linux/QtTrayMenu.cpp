#include "platform/linux/QtTrayMenu.h"

#include <QCursor>

#include "platform/linux/QtTrayView.h"

namespace ww::platform {

QtTrayMenu::QtTrayMenu(TrayKind kind, Trace& trace, const RunState& run)
    : kind_(kind), trace_(trace), run_(run), menu_(std::make_unique<QMenu>()) {
    QObject::connect(menu_.get(), &QMenu::aboutToShow, menu_.get(), [this] { AboutToShow(); });
}

QtTrayMenu::~QtTrayMenu() {
    events_ = nullptr;
    if (view_ != nullptr) {
        view_->SetContextMenu(nullptr);
    }
}

void QtTrayMenu::CreateMenu(const std::vector<MenuItem>& items, int defaultId,
                            TrayMenuEvents& events) {
    menu_->clear();
    actions_.clear();
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
        if (id == defaultId) {
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
            menu_->setDefaultAction(action);
        }
    }
    events_ = &events;
    if (view_ != nullptr) {
        view_->SetContextMenu(menu_.get());
    }
}

// Only a checked item shows a check box: an unchecked one looks like any
// other item, as in the system's menus.
void QtTrayMenu::SetItemState(int id, bool checked, bool enabled) {
    QAction* action = Action(id);
    if (action == nullptr) {
        return;
    }
    action->setCheckable(checked);
    action->setChecked(checked);
    action->setEnabled(enabled);
}

void QtTrayMenu::PopupMenu() {
    if (aboutToShow_ || menu_->isVisible() || actions_.empty()) {
        return;  // the host is showing it already
    }
    poppingUp_ = true;
    menu_->popup(QCursor::pos());
    poppingUp_ = false;
}

void QtTrayMenu::AttachTo(QtTrayView& view) {
    if (kind_ != TrayKind::Sni) {
        return;
    }
    view_ = &view;
    if (!actions_.empty()) {
        view.SetContextMenu(menu_.get());
    }
}

QAction* QtTrayMenu::Action(int id) const {
    const auto found = actions_.find(id);
    return found != actions_.end() ? found->second : nullptr;
}

void QtTrayMenu::AboutToShow() {
    trace_.Write("menu shown");
    if (poppingUp_ || view_ == nullptr || run_.Ended()) {
        return;
    }
    // The host is about to show the menu: the logic decides its states now,
    // synchronously, as on a right press.
    aboutToShow_ = true;
    view_->ReportClick(TrayClick::Context);
    aboutToShow_ = false;
}

void QtTrayMenu::Chosen(int id) {
    if (run_.Ended() || events_ == nullptr) {
        return;
    }
    trace_.Write("menu command " + std::to_string(id));
    events_->MenuCommand(id);
}

}  // namespace ww::platform
