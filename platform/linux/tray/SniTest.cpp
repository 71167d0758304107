// The StatusNotifierItem side of the tray icon, off the bus: which tray wins,
// the picture at every size, and the menu as dbusmenu sees it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusMessage>
#include <QIcon>

#include "platform/linux/qt/PaletteIconEngine.h"
#include "platform/linux/qt/WidgetTestApplication.h"
#include "platform/linux/tray/QtTrayMenu.h"
#include "platform/linux/tray/QtTrayView.h"
#include "platform/linux/tray/TrayHost.h"
#include "platform/linux/tray/sni/SniItem.h"
#include "platform/linux/tray/sni/SniMenu.h"

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

TEST(SniItemPixmaps, EverySizeCrispInNetworkByteOrder) {
    test::EnsureWidgetApplication();
    std::vector<std::uint8_t> pixels(16 * 16, kTransparent);
    pixels[0] = 9;            // red at the top left
    pixels[16 * 16 - 1] = 8;  // grey at the bottom right
    const QIcon icon(new PaletteIconEngine(IconImage{16, pixels}));

    const SniPixmaps pixmaps = SniItem::Pixmaps(icon);
    ASSERT_EQ(pixmaps.size(), 5);
    for (qsizetype i = 0; i < pixmaps.size(); ++i) {
        const SniPixmap& p = pixmaps[i];
        const int size = SniItem::kSizes[i];
        ASSERT_EQ(p.width, size);
        ASSERT_EQ(p.height, size);
        ASSERT_EQ(p.bytes.size(), size * size * 4);
        const auto at = [&](int x, int y) {
            const auto* b =
                reinterpret_cast<const uchar*>(p.bytes.constData()) + (y * size + x) * 4;
            return std::array<int, 4>{b[0], b[1], b[2], b[3]};
        };
        // Alpha, red, green, blue, in that order.
        EXPECT_EQ(at(0, 0), (std::array<int, 4>{0xFF, 0xFF, 0, 0})) << size;
        EXPECT_EQ(at(size - 1, size - 1), (std::array<int, 4>{0xFF, 0x80, 0x80, 0x80})) << size;
        EXPECT_EQ(at(size / 2, size / 2)[0], 0) << size;  // transparent stays so
        // Crisp: every pixel is one of the source's colours, never a blend.
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const auto pixel = at(x, y);
                EXPECT_TRUE(pixel[0] == 0 || pixel == at(0, 0) || pixel == at(size - 1, size - 1))
                    << size << " at " << x << "," << y;
            }
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
