// The StatusNotifierItem side of the tray icon, off the bus: which tray wins,
// the picture at every size, when to register again, and the menu as
// dbusmenu sees it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusMessage>
#include <QIcon>
#include <algorithm>
#include <array>

#include "platform/linux/qt/PaletteIconEngine.h"
#include "platform/linux/qt/WidgetTestApplication.h"
#include "platform/linux/tray/QtTrayMenu.h"
#include "platform/linux/tray/QtTrayView.h"
#include "platform/linux/tray/TrayHost.h"
#include "platform/linux/tray/sni/SniItem.h"
#include "platform/linux/tray/sni/SniMenu.h"
#include "tests/support/CaseNames.h"

namespace ww::platform {
namespace {

TEST(TrayHostChoice, AHostWinsThenXEmbedThenALoneWatcher) {
    const struct {
        bool watcher, host, xembed;
        TrayKind kind;
    } cases[] = {
        {false, false, false, TrayKind::None}, {false, false, true, TrayKind::XEmbed},
        {true, false, false, TrayKind::Sni},   {true, false, true, TrayKind::XEmbed},
        {true, true, false, TrayKind::Sni},    {true, true, true, TrayKind::Sni},
        {false, true, true, TrayKind::XEmbed},  // a host without its watcher is gone
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrayHost::Choose(c.watcher, c.host, c.xembed), c.kind)
            << c.watcher << c.host << c.xembed;
    }
}

TEST(TrayHostMoves, TheIconLeavesOnlyAChangedTrayAndReturnsToANewOrRenewedOne) {
    using K = TrayKind;
    using M = TrayHost::Move;
    const struct {
        K from, to, renewed;
        M move;
    } cases[] = {
        {K::None, K::XEmbed, K::XEmbed, {false, true}},
        {K::XEmbed, K::Sni, K::Sni, {true, true}},   // a host came: no icon twice
        {K::Sni, K::XEmbed, K::None, {true, true}},  // the host went, XEmbed is there
        {K::Sni, K::None, K::None, {true, false}},
        {K::Sni, K::Sni, K::Sni, {false, true}},           // new watcher owner, or host registered
        {K::Sni, K::Sni, K::XEmbed, {false, false}},       // an XEmbed tray the item ignores
        {K::XEmbed, K::XEmbed, K::XEmbed, {false, true}},  // the XEmbed tray restarted
        {K::XEmbed, K::XEmbed, K::Sni, {false, false}},    // a watcher without a host
        {K::None, K::None, K::None, {false, false}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TrayHost::Next(c.from, c.to, c.renewed), c.move)
            << TrayKindName(c.from) << " -> " << TrayKindName(c.to) << " renewed "
            << TrayKindName(c.renewed);
    }
}

struct PixmapSize {
    const char* name;
    int size;
    int scale;   // art pixels become scale × scale squares
    int offset;  // of the art from the top left, on both axes
};
using ww::cases::PrintTo;

class SniItemPixmapsTest : public ::testing::TestWithParam<PixmapSize> {};

// Whole multiples of the art, padded to the sizes that are none; in network
// byte order: alpha, red, green, blue.
TEST_P(SniItemPixmapsTest, TheArtAtAWholeScaleCentredInNetworkByteOrder) {
    test::EnsureWidgetApplication();
    // A one-pixel checkerboard of red and grey, with a transparent column:
    // any fractional scale or smoothing would show in it.
    std::vector<std::uint8_t> pixels(16 * 16);
    for (int i = 0; i < 16 * 16; ++i) {
        pixels[static_cast<std::size_t>(i)] =
            i % 16 == 5 ? kTransparent : ((i % 16 + i / 16) % 2 == 0 ? 9 : 8);
    }
    const QIcon icon(new PaletteIconEngine(IconImage{16, pixels}));
    const auto art = [&](int x, int y) -> std::array<int, 4> {
        switch (pixels[static_cast<std::size_t>(y * 16 + x)]) {
            case 9:
                return {0xFF, 0xFF, 0, 0};
            case 8:
                return {0xFF, 0x80, 0x80, 0x80};
            default:
                return {0, 0, 0, 0};
        }
    };

    const PixmapSize& c = GetParam();
    const SniPixmaps pixmaps = SniItem::Pixmaps(icon);
    const auto found = std::find_if(pixmaps.begin(), pixmaps.end(),
                                    [&](const SniPixmap& p) { return p.width == c.size; });
    ASSERT_NE(found, pixmaps.end());
    ASSERT_EQ(found->height, c.size);
    ASSERT_EQ(found->bytes.size(), c.size * c.size * 4);
    const auto* bytes = reinterpret_cast<const uchar*>(found->bytes.constData());
    for (int y = 0; y < c.size; ++y) {
        for (int x = 0; x < c.size; ++x) {
            const uchar* b = bytes + (y * c.size + x) * 4;
            const std::array<int, 4> pixel{b[0], b[1], b[2], b[3]};
            const int ax = x - c.offset;
            const int ay = y - c.offset;
            const bool inArt = ax >= 0 && ay >= 0 && ax < 16 * c.scale && ay < 16 * c.scale;
            const std::array<int, 4> expected =
                inArt ? art(ax / c.scale, ay / c.scale) : std::array<int, 4>{0, 0, 0, 0};
            ASSERT_EQ(pixel, expected) << "at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, SniItemPixmapsTest,
                         ::testing::Values(PixmapSize{"Size16", 16, 1, 0},
                                           PixmapSize{"Size22Padded", 22, 1, 3},
                                           PixmapSize{"Size24Padded", 24, 1, 4},
                                           PixmapSize{"Size32Doubled", 32, 2, 0},
                                           PixmapSize{"Size48Tripled", 48, 3, 0}),
                         ww::cases::CaseName{});

TEST(SniItemPixmaps, EverySizeOnce) {
    test::EnsureWidgetApplication();
    const QIcon icon(new PaletteIconEngine(IconImage{16, std::vector<std::uint8_t>(256, 9)}));
    QList<int> sizes;
    for (const SniPixmap& p : SniItem::Pixmaps(icon)) {
        sizes.push_back(p.width);
    }
    EXPECT_EQ(sizes, (QList<int>{16, 22, 24, 32, 48}));
}

TEST(SniItemNames, AnEntryNamesTheItemByServiceOrConnectionWithAnyPath) {
    const QString service = QStringLiteral("org.kde.StatusNotifierItem-42-1");
    const QString connection = QStringLiteral(":1.7");
    const struct {
        const char* entry;
        bool ours;
    } cases[] = {
        {"org.kde.StatusNotifierItem-42-1", true},  // GNOME's and our test host's form
        {"org.kde.StatusNotifierItem-42-1/StatusNotifierItem", true},  // KDE's
        {":1.7@/StatusNotifierItem", true},                            // GNOME's for a path
        {":1.7/StatusNotifierItem", true},
        {":1.7", true},
        {"org.kde.StatusNotifierItem-42-10", false},
        {"org.kde.StatusNotifierItem-4-1", false},
        {":1.70@/StatusNotifierItem", false},
        {"/StatusNotifierItem", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SniItem::Names(QString::fromLatin1(c.entry), service, connection), c.ours)
            << c.entry;
    }
}

TEST(SniRegisterAgain, SoonThenLaterThenNotBeyondFiveAMinute) {
    // When the watcher forgot the item (ms), and the wait it gets (-1: none).
    const struct {
        const char* name;
        std::vector<std::pair<std::int64_t, int>> forgotten;
    } cases[] = {
        {"DoublingFromOneSecond",
         {{0, 1000}, {1800, 2000}, {4800, 4000}, {9600, 8000}, {18400, 16000}}},
        {"TheSixthWithinAMinuteIsRefused",
         {{0, 1000}, {1, 2000}, {2, 4000}, {3, 8000}, {4, 16000}, {59'999, -1}}},
        {"AQuietMinuteStartsOver", {{0, 1000}, {60'000, 1000}, {61'000, 2000}}},
        {"TheOldestLeavesTheWindowFirst",
         {{0, 1000},
          {10'000, 2000},
          {20'000, 4000},
          {30'000, 8000},
          {40'000, 16000},
          {50'000, -1},
          {60'000, 16000},
          {60'001, -1}}},
    };
    for (const auto& c : cases) {
        RegisterAgain again;
        for (const auto& [at, wait] : c.forgotten) {
            EXPECT_EQ(again.Next(at).value_or(-1), wait) << c.name << " at " << at;
        }
    }
}

TEST(SniMenuLabels, AccessKeysBecomeUnderscores) {
    const struct {
        const char* caption;
        const char* label;
    } cases[] = {
        {"E&xit Wakewatch", "E_xit Wakewatch"},
        {"&Restore Wakewatch...", "_Restore Wakewatch..."},
        {"Salt && Pepper", "Salt & Pepper"},
        {"snake_case", "snake__case"},
        {"plain", "plain"},
        {"trailing&", "trailing_"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SniMenu::Label(QString::fromUtf8(c.caption)).toStdString(), c.label);
    }
}

TEST(SniMenuProperties, CheckItemsAreAlwaysTogglesAndGreysAreDisabled) {
    using Map = QVariantMap;
    const auto toggle = [](int state, bool enabled) {
        return Map{{"label", "_Disable"},
                   {"enabled", enabled},
                   {"toggle-type", "checkmark"},
                   {"toggle-state", state}};
    };
    EXPECT_EQ(SniMenu::Properties({false, "&Disable", true, false, true}), toggle(0, true));
    EXPECT_EQ(SniMenu::Properties({false, "&Disable", true, true, false}), toggle(1, false));
    EXPECT_EQ(SniMenu::Properties({false, "&Start", false, false, false}),
              (Map{{"label", "_Start"}, {"enabled", false}}));
    EXPECT_EQ(SniMenu::Properties({true, {}, false, false, true}), (Map{{"type", "separator"}}));
}

class RecordingMenuEvents final : public TrayMenuEvents {
  public:
    void MenuCommand(int id) override { commands.push_back(id); }
    std::vector<int> commands;
};

// The exported menu answering calls as a host makes them; replies go
// nowhere, what counts is what reaches the logic.
class SniMenuCallsTest : public ::testing::Test {
  protected:
    SniMenuCallsTest() {
        menu_.CreateMenu({{1, "&Restore Wakewatch..."},
                          {0, "-"},
                          {2, "Enable &Hot Corners", true},
                          {3, "&Start Screen Saver..."},
                          {4, "E&xit Wakewatch"}},
                         1, events_);
        menu_.AttachTo(view_);
        // What the logic does on a right press.
        view_.SetClickHandler([this](TrayClick click) {
            clicks_.push_back(click);
            menu_.SetItemState(2, hotCorners_, true);
            menu_.SetItemState(3, false, false);
            menu_.PopupMenu();
        });
    }
    ~SniMenuCallsTest() override { menu_.Menu().hide(); }

    void Call(const char* member, const QVariantList& args) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            "org.example.Host", "/MenuBar", "com.canonical.dbusmenu", QString::fromLatin1(member));
        call.setArguments(args);
        EXPECT_TRUE(menu_.Exported().handleMessage(call, QDBusConnection(QStringLiteral("none"))))
            << member;
        QCoreApplication::sendPostedEvents();
    }
    static QVariantList Click(int id) {
        return {id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0U};
    }

    bool app_ = (test::EnsureWidgetApplication(), true);
    Trace trace_{std::string()};
    RunState run_;
    RecordingMenuEvents events_;
    QtTrayView view_{trace_};
    QtTrayMenu menu_{trace_, run_};
    std::vector<TrayClick> clicks_;
    bool hotCorners_ = true;
};

TEST_F(SniMenuCallsTest, AboutToShowAsksTheLogicAndNothingPopsUp) {
    Call("AboutToShow", {0});
    EXPECT_EQ(clicks_, std::vector<TrayClick>{TrayClick::Context});
    EXPECT_FALSE(menu_.Menu().isVisible());
    const auto entries = menu_.Entries();
    ASSERT_EQ(entries.size(), 5U);
    EXPECT_TRUE(entries[2].check && entries[2].checked && entries[2].enabled);
    EXPECT_FALSE(entries[3].check || entries[3].enabled);
    EXPECT_FALSE(entries[0].check);
    EXPECT_TRUE(entries[1].separator);
}

TEST_F(SniMenuCallsTest, ClickedItemsReachTheLogicGreyedOnesDoNot) {
    Call("AboutToShow", {0});
    Call("Event", Click(4));  // greyed
    Call("Event", Click(2));  // separator
    Call("Event", Click(99));
    EXPECT_TRUE(events_.commands.empty());
    Call("Event", Click(5));  // E&xit
    EXPECT_EQ(events_.commands, std::vector<int>{4});
    // Only the one opening: the click came with the menu the host showed.
    EXPECT_EQ(clicks_.size(), 1U);
}

TEST_F(SniMenuCallsTest, AClickWithoutOpeningDecidesTheStatesFirst) {
    Call("Event", Click(3));
    EXPECT_EQ(clicks_, std::vector<TrayClick>{TrayClick::Context});
    EXPECT_EQ(events_.commands, std::vector<int>{2});

    // A host that says "opened" instead of AboutToShow.
    clicks_.clear();
    Call("Event", {0, QStringLiteral("opened"), QVariant::fromValue(QDBusVariant(0)), 0U});
    Call("EventGroup",
         {QVariant::fromValue(DbusMenuEvents{{3, QStringLiteral("clicked"), QDBusVariant(0), 0}})});
    EXPECT_EQ(clicks_.size(), 1U);
    EXPECT_EQ(events_.commands, (std::vector<int>{2, 2}));
}

TEST_F(SniMenuCallsTest, NothingReachesTheLogicAfterTheEnd) {
    run_.End();
    Call("AboutToShow", {0});
    Call("Event", Click(5));
    EXPECT_TRUE(clicks_.empty());
    EXPECT_TRUE(events_.commands.empty());
}

}  // namespace
}  // namespace ww::platform
