#include "platform/linux/saver/SaverChoice.h"

namespace ww::platform {

namespace {

// Where the session manager keeps the idle inhibitors, its saver reads them;
// else the freedesktop service may hold (gsd-screensaver-proxy does).
HoldWay DesktopHold(const SaverOffer& offer) {
    if (offer.sessionManager) {
        return HoldWay::SessionManagerInhibit;
    }
    return offer.freedesktop ? HoldWay::FreedesktopInhibit : HoldWay::None;
}

const char* StartText(StartWay way) {
    switch (way) {
        case StartWay::None:
            return "nothing to start it";
        case StartWay::XServer:
            return "the X server's saver";
        case StartWay::XScreenSaverActivate:
            return "xscreensaver";
        case StartWay::FreedesktopSetActive:
            return "org.freedesktop.ScreenSaver";
        case StartWay::GnomeSetActive:
            return "org.gnome.ScreenSaver";
        case StartWay::MateSetActive:
            return "org.mate.ScreenSaver";
        case StartWay::CinnamonSetActive:
            return "org.cinnamon.ScreenSaver";
        case StartWay::LogindLock:
            return "the logind session's Lock";
    }
    return "";
}

const char* HoldText(HoldWay way) {
    switch (way) {
        case HoldWay::None:
            return "nothing to hold it off";
        case HoldWay::XTimeout:
            return "the X server's saver";
        case HoldWay::XScreenSaverDeactivate:
            return "xscreensaver";
        case HoldWay::FreedesktopInhibit:
            return "org.freedesktop.ScreenSaver";
        case HoldWay::SessionManagerInhibit:
            return "org.gnome.SessionManager";
        case HoldWay::IdleInhibitor:
            return "zwp_idle_inhibit_manager_v1";
    }
    return "";
}

}  // namespace

SaverChoice ChooseSaver(const SaverOffer& offer) {
    if (offer.x11 && offer.xscreensaver) {
        // xscreensaver-systemd, where it runs, keeps the inhibitors of the
        // session; without it the idle timer is reset by hand.
        return {StartWay::XScreenSaverActivate,
                offer.freedesktop ? HoldWay::FreedesktopInhibit : HoldWay::XScreenSaverDeactivate};
    }
    if (offer.gnome) {
        return {StartWay::GnomeSetActive, DesktopHold(offer)};
    }
    if (offer.cinnamon) {
        return {StartWay::CinnamonSetActive, DesktopHold(offer)};
    }
    if (offer.mate) {
        return {StartWay::MateSetActive, DesktopHold(offer)};
    }
    if (offer.freedesktop) {
        return {StartWay::FreedesktopSetActive, HoldWay::FreedesktopInhibit};
    }
    if (!offer.x11 && offer.idleInhibit) {
        // No standard request starts a compositor's idle action; locking the
        // session is the nearest, and the idle daemons run their lock hook on it.
        return {offer.logindSession ? StartWay::LogindLock : StartWay::None,
                HoldWay::IdleInhibitor};
    }
    if (offer.x11) {
        return {StartWay::XServer, HoldWay::XTimeout};
    }
    return {};
}

std::string DescribeSaver(const SaverChoice& choice) {
    const std::string start = StartText(choice.start);
    const std::string hold = HoldText(choice.hold);
    if (start == hold) {
        return "screen saver through " + start;
    }
    return "screen saver through " + start + ", held off through " + hold;
}

std::string WhyNoStart(const SaverOffer& offer, const SaverChoice& choice) {
    if (choice.start != StartWay::None) {
        return {};
    }
    if (choice.hold == HoldWay::IdleInhibitor && !offer.logindSession) {
        return "the compositor has no request to start its idle action and there is no logind "
               "session to lock";
    }
    return "the session offers no screen saver (no saver service on the session bus, no idle "
           "inhibitor)";
}

}  // namespace ww::platform
