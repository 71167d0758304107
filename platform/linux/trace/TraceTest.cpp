#include "platform/linux/trace/Trace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace ww::platform {
namespace {

TEST(TraceTest, QuoteEscapesBackslashQuoteAndLineBreaks) {
    const struct {
        std::string text;
        std::string quoted;
    } cases[] = {
        {"", R"("")"},
        {"OFFICE7 up for 2 days, 3:04:05", R"("OFFICE7 up for 2 days, 3:04:05")"},
        {R"(a\b)", R"("a\\b")"},
        {R"(say "hi")", R"("say \"hi\"")"},
        {"line\r\nnext", R"("line\r\nnext")"},
        {"\xC3\xA9t\xC3\xA9", "\"\xC3\xA9t\xC3\xA9\""},  // UTF-8 passes unchanged
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Trace::Quote(c.text), c.quoted) << c.text;
    }
}

TEST(TraceTest, AppendsOneTimedLinePerEvent) {
    char path[] = "/tmp/ww-trace-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "earlier\n", 8), 8);
    ::close(fd);
    {
        Trace trace{std::string(path)};
        ASSERT_TRUE(trace.Enabled());
        trace.Write("host none");
        trace.Write("click 515");
        // Written at once: readable before the trace goes away.
        std::ifstream early(path);
        std::stringstream content;
        content << early.rdbuf();
        EXPECT_NE(content.str().find("click 515\n"), std::string::npos);
    }
    std::ifstream in(path);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line, "earlier");  // appended, not replaced
    for (const char* event : {"host none", "click 515"}) {
        ASSERT_TRUE(std::getline(in, line));
        const auto blank = line.find(' ');
        ASSERT_NE(blank, std::string::npos) << line;
        EXPECT_GE(std::stoll(line.substr(0, blank)), 0);
        EXPECT_EQ(line.substr(blank + 1), event);
    }
    EXPECT_FALSE(std::getline(in, line));
    ::unlink(path);
}

TEST(TraceTest, EmptyPathWritesNothing) {
    Trace trace{std::string()};
    EXPECT_FALSE(trace.Enabled());
    trace.Write("end");  // no file, no failure
}

}  // namespace
}  // namespace ww::platform
