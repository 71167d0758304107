#include "platform/linux/ChosenScreenSaver.h"

#include <cstdio>
#include <string>

#include "platform/linux/saver/SessionScreenSaver.h"
#include "platform/linux/wayland/IdleInhibitSurface.h"
#include "platform/linux/x11/X11ScreenSaver.h"
#include "platform/linux/x11/XScreenSaverDaemon.h"

namespace ww::platform {

namespace {
constexpr int kDeactivateEveryMs = 2000;
}  // namespace

ChosenScreenSaver::ChosenScreenSaver(_XDisplay* display, SessionScreenSaver& freedesktop)
    : display_(display), freedesktop_(freedesktop) {
    if (display_ != nullptr) {
        // Made in any case: it puts back a timeout an earlier run left at 0.
        xServer_ = std::make_unique<X11ScreenSaver>(display_, nullptr);
        xscreensaver_ = std::make_unique<XScreenSaverDaemon>(display_);
    } else {
        idleInhibit_ = std::make_unique<IdleInhibitSurface>();
    }
    deactivate_.setInterval(kDeactivateEveryMs);
    QObject::connect(&deactivate_, &QTimer::timeout, [this] {
        if (xscreensaver_ && !xscreensaver_->Deactivate()) {
            std::fprintf(stderr,
                         "wakewatch: xscreensaver DEACTIVATE failed: no xscreensaver "
                         "window\n");
        }
    });
    Current();
}

ChosenScreenSaver::~ChosenScreenSaver() {
    RestoreOnExit();
}

SaverOffer ChosenScreenSaver::Offer() {
    SaverOffer offer;
    offer.x11 = display_ != nullptr;
    offer.xscreensaver = xscreensaver_ && xscreensaver_->Running();
    offer.freedesktop = freedesktop_.Available();
    offer.idleInhibit = idleInhibit_ && idleInhibit_->Available();
    desktops_.Offer(offer);
    return offer;
}

SaverChoice ChosenScreenSaver::Current() {
    const SaverOffer offer = Offer();
    const SaverChoice choice = ChooseSaver(offer);
    if (!said_ || *said_ != choice) {
        std::fprintf(stderr, "wakewatch: %s\n", DescribeSaver(choice).c_str());
        const std::string why = WhyNoStart(offer, choice);
        if (!why.empty()) {
            std::fprintf(stderr, "wakewatch: Start Screen Saver is greyed: %s\n", why.c_str());
        }
        said_ = choice;
    }
    if (held_ && *held_ != choice.hold) {
        Let(*held_);
        held_ = choice.hold;
        Take(choice.hold);
    }
    return choice;
}

bool ChosenScreenSaver::Take(HoldWay way) {
    switch (way) {
        case HoldWay::None:
            return false;
        case HoldWay::XTimeout:
            return xServer_->SystemParametersInfoA(spi::kSetScreenSaveActive, 0, nullptr, 0);
        case HoldWay::XScreenSaverDeactivate:
            deactivate_.start();
            if (!xscreensaver_->Deactivate()) {
                std::fprintf(stderr, "wakewatch: xscreensaver DEACTIVATE failed\n");
            }
            return true;
        case HoldWay::FreedesktopInhibit:
            freedesktop_.Hold();
            return true;
        case HoldWay::SessionManagerInhibit:
            desktops_.Hold();  // a failure is said there
            return true;
        case HoldWay::IdleInhibitor:
            return idleInhibit_->Hold();
    }
    return false;
}

void ChosenScreenSaver::Let(HoldWay way) {
    switch (way) {
        case HoldWay::None:
            break;
        case HoldWay::IdleInhibitor:
            idleInhibit_->Release();
            break;
        case HoldWay::XTimeout:
            xServer_->SystemParametersInfoA(spi::kSetScreenSaveActive, 1, nullptr, 0);
            break;
        case HoldWay::XScreenSaverDeactivate:
            deactivate_.stop();
            break;
        case HoldWay::FreedesktopInhibit:
            freedesktop_.Release();
            break;
        case HoldWay::SessionManagerInhibit:
            desktops_.Release();
            break;
    }
}

bool ChosenScreenSaver::SystemParametersInfoA(std::uint32_t action, std::uint32_t uiParam,
                                              std::int32_t* pvParam, std::uint32_t fWinIni) {
    const SaverChoice choice = Current();
    if (action == spi::kGetScreenSaveActive) {
        if (choice.start == StartWay::XServer) {
            // The bare X server: its timeout is the user's switch.
            return xServer_->SystemParametersInfoA(action, uiParam, pvParam, fWinIni);
        }
        if (pvParam == nullptr) {
            return false;
        }
        *pvParam = choice.start != StartWay::None && !held_ ? 1 : 0;
        return true;
    }
    if (action != spi::kSetScreenSaveActive) {
        return false;
    }
    if (uiParam != 0) {
        if (held_) {
            Let(*held_);
            held_.reset();
        }
        return true;
    }
    if (held_) {
        return true;
    }
    if (choice.hold == HoldWay::None) {
        std::fprintf(stderr,
                     "wakewatch: the screen saver cannot be switched off: nothing in this "
                     "session holds it\n");
        return false;
    }
    held_ = choice.hold;
    return Take(choice.hold);
}

bool ChosenScreenSaver::CanSwitchScreenSaverOff() {
    return Current().hold != HoldWay::None;
}

void ChosenScreenSaver::StartScreenSaver() {
    const SaverOffer offer = Offer();
    const SaverChoice choice = Current();
    std::string failed;
    switch (choice.start) {
        case StartWay::None:
            failed = WhyNoStart(offer, choice);
            break;
        case StartWay::XServer:
            xServer_->StartScreenSaver();
            break;
        case StartWay::XScreenSaverActivate:
            if (!xscreensaver_->Activate()) {
                failed = "xscreensaver ACTIVATE failed: no xscreensaver window";
            }
            break;
        case StartWay::FreedesktopSetActive:
            freedesktop_.Activate();  // a failure is said on the answer
            break;
        case StartWay::GnomeSetActive:
        case StartWay::MateSetActive:
        case StartWay::CinnamonSetActive:
        case StartWay::LogindLock:
            failed = desktops_.Start(choice.start);
            break;
    }
    if (!failed.empty()) {
        std::fprintf(stderr, "wakewatch: the screen saver did not start: %s\n", failed.c_str());
    }
}

void ChosenScreenSaver::RestoreOnExit() {
    deactivate_.stop();
    desktops_.Release();
    if (idleInhibit_) {
        idleInhibit_->Release();
    }
    held_.reset();
    // Both undo only this program's own hold, and wait for it to arrive.
    freedesktop_.ReleaseNow();
    if (xServer_) {
        xServer_->RestoreOnExit();
    }
}

}  // namespace ww::platform
