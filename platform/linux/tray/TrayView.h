#pragma once

#include <QIcon>
#include <QString>
#include <functional>

namespace ww::platform {

// A mouse action on the tray icon, as the tray host reports it.
enum class TrayClick { Trigger, DoubleClick, Context, Middle };

// What the notify icon drives: the toolkit's tray icon. Each call goes to
// the tray host, so the caller passes only real changes.
class TrayView {
  public:
    using ClickHandler = std::function<void(TrayClick click)>;

    virtual ~TrayView() = default;

    virtual void SetToolTip(const QString& tip) = 0;
    virtual void SetIcon(const QIcon& icon) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void SetClickHandler(ClickHandler handler) = 0;
};

}  // namespace ww::platform
