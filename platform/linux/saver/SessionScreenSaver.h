#pragma once

#include <functional>
#include <memory>
#include <string>

namespace ww::platform {

// The session's org.freedesktop.ScreenSaver service (KDE, xfce4-screensaver
// and others), followed as it comes and goes on the session bus. Calls do not
// block on the service, except ReleaseNow on the way out; every answer is
// still awaited (on the event loop) and a failure told. Needs a running
// QCoreApplication for the replies.
class SessionScreenSaver {
  public:
    // Without a session bus the service is simply never available.
    SessionScreenSaver();
    ~SessionScreenSaver();
    SessionScreenSaver(const SessionScreenSaver&) = delete;
    SessionScreenSaver& operator=(const SessionScreenSaver&) = delete;

    // True while the service is registered on the session bus.
    bool Available() const;

    // SetActive(true): the service starts its saver (or locks, on KDE, which
    // answers only once the screen is locked, with no value). What failed
    // goes to `failed` when known (at once when the service is away, else on
    // the answer: an error, NotSupported included, no answer, or false);
    // without `failed`, to stderr.
    using Failed = std::function<void(const std::string&)>;
    void Activate(Failed failed = {});

    // Inhibit("Wakewatch", reason), once until Release; the cookie is kept.
    // Asked for while the service is away, the hold is taken when it appears.
    void Hold();

    // UnInhibit(cookie) for the hold taken, or forgets the one still asked for.
    void Release();

    // True from Hold to Release.
    bool Held() const;

    // Release, waiting (briefly) for the service to have it: for exit paths,
    // where no event loop runs any more.
    void ReleaseNow();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ww::platform
