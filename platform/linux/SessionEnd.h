#pragma once

#include <QObject>
#include <functional>

namespace ww::platform {

// The desktop session ending: the session manager asks the program to
// commit its data (logout), or tells it to die (a Quit event to the
// application). Either way the program closes as if told to by the system,
// and it asks not to be restarted with the next session: it starts itself
// at logon when the user chose so.
class SessionEnd final : public QObject {
  public:
    explicit SessionEnd(std::function<void()> onEnd);

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void()> onEnd_;
};

}  // namespace ww::platform
