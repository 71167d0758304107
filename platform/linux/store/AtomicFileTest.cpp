#include "platform/linux/store/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "platform/formats/RegText.h"
#include "platform/linux/store/LinuxRegistry.h"
#include "platform/linux/store/StoreTestSupport.h"

namespace ww::platform {
namespace {

using test::ListFolder;
using test::ReadText;
using test::WriteText;

TEST(StorePaths, ComeFromTheXdgVariablesWithTheirDefaults) {
    struct Case {
        std::map<std::string, std::string> environment;
        std::string userFile;
        std::string machineAutostart;
    };
    const std::vector<Case> cases = {
        {{{"HOME", "/home/ann"}},
         "/home/ann/.config/wakewatch/user.reg",
         "/etc/xdg/autostart/Wakewatch.desktop"},
        {{{"HOME", "/home/ann/"}, {"XDG_CONFIG_HOME", "relative"}, {"XDG_CONFIG_DIRS", ""}},
         "/home/ann/.config/wakewatch/user.reg",
         "/etc/xdg/autostart/Wakewatch.desktop"},
        {{{"XDG_CONFIG_HOME", "/cfg/"}, {"XDG_CONFIG_DIRS", "rel:/site:/etc/xdg"}},
         "/cfg/wakewatch/user.reg",
         "/site/autostart/Wakewatch.desktop"},
    };
    for (const auto& c : cases) {
        const auto paths = StorePaths::FromEnvironment([&](const char* name) -> const char* {
            const auto it = c.environment.find(name);
            return it == c.environment.end() ? nullptr : it->second.c_str();
        });
        EXPECT_EQ(paths.userFile, c.userFile);
        EXPECT_EQ(paths.machineAutostart, c.machineAutostart);
    }
    const auto paths = StorePaths::FromEnvironment([](const char* name) -> const char* {
        return std::string_view(name) == "XDG_CONFIG_HOME" ? "/c" : "/d";
    });
    EXPECT_EQ(paths.machineFile, "/d/wakewatch/machine.reg");
    EXPECT_EQ(paths.machineOverlay, "/c/wakewatch/machine.reg");
    EXPECT_EQ(paths.userAutostart, "/c/autostart/Wakewatch.desktop");
}

TEST(ReplaceFile, ReadersKeepTheWholeOldFileAndNoTemporaryIsLeft) {
    test::StoreSandbox sandbox;
    const std::string path = sandbox.root() + "/f/user.reg";
    WriteText(path, "old contents\n");
    chmod(path.c_str(), 0600);
    const int reader = open(path.c_str(), O_RDONLY);
    ASSERT_GE(reader, 0);

    ASSERT_EQ(ReplaceFile(path, "new\n", 0644), 0);
    char buffer[64] = {};
    EXPECT_EQ(read(reader, buffer, sizeof buffer), 13);
    EXPECT_STREQ(buffer, "old contents\n");
    close(reader);
    EXPECT_EQ(ReadText(path), "new\n");
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(ListFolder(sandbox.root() + "/f"), std::vector<std::string>{"user.reg"});

    // A replace that fails leaves the folder as it was.
    const std::string folderInTheWay = sandbox.root() + "/f/in-the-way";
    ASSERT_EQ(mkdir(folderInTheWay.c_str(), 0755), 0);
    WriteText(folderInTheWay + "/x", "");
    EXPECT_NE(ReplaceFile(folderInTheWay, "text", 0644), 0);
    EXPECT_EQ(ListFolder(sandbox.root() + "/f"),
              (std::vector<std::string>{"in-the-way", "user.reg"}));
}

std::int32_t SetNumber(Registry& registry, const std::string& name, std::uint32_t number,
                       std::size_t padding) {
    HKey key = 0;
    std::int32_t result = registry.RegCreateKeyA(kHkeyCurrentUser, "Software\\Wakewatch", key);
    if (result != 0) {
        return result;
    }
    const std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(number),
                                             static_cast<std::uint8_t>(number >> 8), 0, 0};
    result = registry.RegSetValueExA(key, name, regtype::kDword, bytes.data(), 4);
    if (result == 0 && padding > 0) {
        const std::vector<std::uint8_t> filler(padding, static_cast<std::uint8_t>(number));
        result = registry.RegSetValueExA(key, "Filler", regtype::kBinary, filler.data(),
                                         static_cast<std::uint32_t>(filler.size()));
    }
    registry.RegCloseKey(key);
    return result;
}

TEST(LinuxRegistryWrites, AConcurrentReaderOnlyEverSeesWholeFiles) {
    test::StoreSandbox sandbox;
    const StorePaths paths = sandbox.paths();
    std::ostringstream diagnostics;
    LinuxRegistry registry(paths, diagnostics);
    // Big enough that a file written in place would be seen half done.
    constexpr std::size_t kFiller = 6000;
    ASSERT_EQ(SetNumber(registry, "Counter", 0, kFiller), 0);

    test::Child reader([&] {
        for (int i = 0; i < 150; ++i) {
            const auto parsed = ParseRegText(ReadText(paths.userFile), "HKEY_CURRENT_USER");
            const auto* document = std::get_if<RegDocument>(&parsed);
            if (document == nullptr ||
                document->FindValue("Software\\Wakewatch", "Filler") == nullptr ||
                document->FindValue("Software\\Wakewatch", "Filler")->data.size() != kFiller) {
                return 1;
            }
        }
        return 0;
    });
    for (std::uint32_t i = 1; i <= 60; ++i) {
        ASSERT_EQ(SetNumber(registry, "Counter", i, kFiller), 0);
    }
    EXPECT_EQ(reader.Join(), 0);
    EXPECT_EQ(ListFolder(sandbox.configHome() + "/wakewatch"),
              std::vector<std::string>{"user.reg"});
}

TEST(LinuxRegistryWrites, TwoWritersLoseNoneOfEachOthersValues) {
    test::StoreSandbox sandbox;
    const StorePaths paths = sandbox.paths();
    std::ostringstream diagnostics;
    LinuxRegistry registry(paths, diagnostics);
    constexpr std::uint32_t kRounds = 80;

    // Each round adds a value of its own, so any write made from a stale
    // copy of the file would lose one for good.
    test::Child other([&] {
        for (std::uint32_t i = 0; i < kRounds; ++i) {
            if (SetNumber(registry, "A" + std::to_string(i), i, 0) != 0) {
                return 1;
            }
        }
        return 0;
    });
    for (std::uint32_t i = 0; i < kRounds; ++i) {
        ASSERT_EQ(SetNumber(registry, "B" + std::to_string(i), i, 0), 0);
    }
    ASSERT_EQ(other.Join(), 0);
    const auto parsed = ParseRegText(ReadText(paths.userFile), "HKEY_CURRENT_USER");
    ASSERT_TRUE(std::holds_alternative<RegDocument>(parsed));
    const auto& values = std::get<RegDocument>(parsed).Sections().at(0).values;
    EXPECT_EQ(values.size(), 2 * kRounds);
    EXPECT_EQ(diagnostics.str(), "");
}

}  // namespace
}  // namespace ww::platform
