#include "platform/linux/wayland/CornerGeometry.h"

#include <gtest/gtest.h>

namespace ww::platform {
namespace {

TEST(CornerGeometryTest, TheOriginOutputIsTheOneThatHoldsZeroZero) {
    const struct {
        const char* name;
        std::vector<OutputRect> outputs;
        std::optional<std::size_t> origin;
    } cases[] = {
        {"none known", {}, std::nullopt},
        {"one", {{0, 0, 1024, 768}}, 0},
        {"right of another", {{1920, 0, 1280, 1024}, {0, 0, 1920, 1080}}, 1},
        {"a monitor left of the origin", {{-1280, 0, 1280, 1024}, {0, 0, 1920, 1080}}, 1},
        {"spanning it", {{-100, -100, 800, 600}}, 0},
        {"ends just before it", {{-1024, 0, 1024, 768}}, std::nullopt},
        {"size not told yet", {{0, 0, 0, 0}, {0, 0, 800, 600}}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(OriginOutput(c.outputs), c.origin);
    }
}

}  // namespace
}  // namespace ww::platform
