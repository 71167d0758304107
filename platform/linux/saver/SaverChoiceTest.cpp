#include "platform/linux/saver/SaverChoice.h"

#include <gtest/gtest.h>

#include "tests/support/CaseNames.h"

namespace ww::platform {
namespace {

struct ChoiceCase {
    const char* name;
    SaverOffer offer;
    SaverChoice expected;
};
using ww::cases::PrintTo;

SaverOffer X11() {
    SaverOffer offer;
    offer.x11 = true;
    return offer;
}

template <typename Change>
SaverOffer With(SaverOffer offer, Change change) {
    change(offer);
    return offer;
}

const ChoiceCase kCases[] = {
    {"BareXServer", X11(), {StartWay::XServer, HoldWay::XTimeout}},
    {"XScreenSaverAlone",
     With(X11(), [](SaverOffer& o) { o.xscreensaver = true; }),
     {StartWay::XScreenSaverActivate, HoldWay::XScreenSaverDeactivate}},
    // xscreensaver-systemd owns the freedesktop name; its SetActive starts nothing.
    {"XScreenSaverWithItsSystemdHelper",
     With(X11(),
          [](SaverOffer& o) {
              o.xscreensaver = true;
              o.freedesktop = true;
          }),
     {StartWay::XScreenSaverActivate, HoldWay::FreedesktopInhibit}},
    // An xscreensaver on XWayland is not the session's saver.
    {"XScreenSaverSeenFromWaylandIsIgnored",
     With(SaverOffer{},
          [](SaverOffer& o) {
              o.xscreensaver = true;
              o.idleInhibit = true;
          }),
     {StartWay::None, HoldWay::IdleInhibitor}},
    // gsd-screensaver-proxy answers SetActive with NotSupported.
    {"GnomeWithItsSessionManager",
     With(X11(),
          [](SaverOffer& o) {
              o.gnome = true;
              o.freedesktop = true;
              o.sessionManager = true;
          }),
     {StartWay::GnomeSetActive, HoldWay::SessionManagerInhibit}},
    {"GnomeWaylandWithOnlyTheProxy",
     With(SaverOffer{},
          [](SaverOffer& o) {
              o.gnome = true;
              o.freedesktop = true;
          }),
     {StartWay::GnomeSetActive, HoldWay::FreedesktopInhibit}},
    {"KdeKsmserver",
     With(X11(), [](SaverOffer& o) { o.freedesktop = true; }),
     {StartWay::FreedesktopSetActive, HoldWay::FreedesktopInhibit}},
    {"KdeOnWaylandBeforeIdleInhibit",
     With(SaverOffer{},
          [](SaverOffer& o) {
              o.freedesktop = true;
              o.idleInhibit = true;
          }),
     {StartWay::FreedesktopSetActive, HoldWay::FreedesktopInhibit}},
    {"Mate",
     With(X11(),
          [](SaverOffer& o) {
              o.mate = true;
              o.sessionManager = true;
          }),
     {StartWay::MateSetActive, HoldWay::SessionManagerInhibit}},
    {"MateWithoutItsSessionCannotHold",
     With(X11(), [](SaverOffer& o) { o.mate = true; }),
     {StartWay::MateSetActive, HoldWay::None}},
    {"Cinnamon",
     With(X11(),
          [](SaverOffer& o) {
              o.cinnamon = true;
              o.sessionManager = true;
          }),
     {StartWay::CinnamonSetActive, HoldWay::SessionManagerInhibit}},
    {"SwayWithALogindSession",
     With(SaverOffer{},
          [](SaverOffer& o) {
              o.idleInhibit = true;
              o.logindSession = true;
          }),
     {StartWay::LogindLock, HoldWay::IdleInhibitor}},
    {"SwayWithoutLogind",
     With(SaverOffer{}, [](SaverOffer& o) { o.idleInhibit = true; }),
     {StartWay::None, HoldWay::IdleInhibitor}},
    {"WaylandWithNothing", SaverOffer{}, {StartWay::None, HoldWay::None}},
    // The session manager alone is no saver.
    {"SessionManagerAloneOnX",
     With(X11(), [](SaverOffer& o) { o.sessionManager = true; }),
     {StartWay::XServer, HoldWay::XTimeout}},
};

class ChooseSaverTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChooseSaverTest, PicksTheSaverTheSessionRuns) {
    const ChoiceCase& c = GetParam();
    const SaverChoice chosen = ChooseSaver(c.offer);
    EXPECT_EQ(chosen.start, c.expected.start);
    EXPECT_EQ(chosen.hold, c.expected.hold);
}

INSTANTIATE_TEST_SUITE_P(Sessions, ChooseSaverTest, ::testing::ValuesIn(kCases),
                         ww::cases::CaseName{});

TEST(DescribeSaverTest, NamesOneWayOnceAndBothWhenTheyDiffer) {
    EXPECT_EQ(DescribeSaver({StartWay::FreedesktopSetActive, HoldWay::FreedesktopInhibit}),
              "screen saver through org.freedesktop.ScreenSaver");
    EXPECT_EQ(DescribeSaver({StartWay::GnomeSetActive, HoldWay::SessionManagerInhibit}),
              "screen saver through org.gnome.ScreenSaver, held off through "
              "org.gnome.SessionManager");
    EXPECT_EQ(WhyNoStart({}, {StartWay::XServer, HoldWay::XTimeout}), "");
    EXPECT_NE(WhyNoStart({}, {StartWay::None, HoldWay::IdleInhibitor}).find("logind"),
              std::string::npos);
}

}  // namespace
}  // namespace ww::platform
