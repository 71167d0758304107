#include "platform/win32/Win32Trace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

std::string TempFile(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + name;
    DeleteFileA(path.c_str());
    return path;
}

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// "<ms> <event>" lines, with the milliseconds taken off.
std::string Events(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    std::string events;
    while (std::getline(lines, line)) {
        const std::size_t blank = line.find(' ');
        EXPECT_NE(blank, std::string::npos) << line;
        EXPECT_EQ(line.find_first_not_of("0123456789"), blank) << line;
        events += line.substr(blank + 1) + "|";
    }
    return events;
}

TEST(Win32TraceTest, QuotesEscapeBackslashesQuotesAndLineBreaks) {
    const struct {
        const char* text;
        const char* quoted;
    } cases[] = {
        {"", "\"\""},
        {"OFFICE7 up for 0:00:01", "\"OFFICE7 up for 0:00:01\""},
        {"Global\\Wakewatch", "\"Global\\\\Wakewatch\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"one\r\ntwo", "\"one\\r\\ntwo\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Win32Trace::Quote(c.text), c.quoted) << c.text;
    }
}

TEST(Win32TraceTest, LinesAreAppendedAtOnceAndSharedWithASecondWriter) {
    const std::string path = TempFile("ww-desktop-trace.txt");
    {
        Win32Trace first(path);
        ASSERT_TRUE(first.Enabled());
        first.Write("notify add ok hIcon=1 tip=\" Wakewatch\"");
        // Readable while the writer still has the file open.
        EXPECT_EQ(Events(Read(path)), "notify add ok hIcon=1 tip=\" Wakewatch\"|");
        Win32Trace second(path);
        second.Write("msgbox \"Wakewatch\" \"text\"");
        first.Write("end");
    }
    EXPECT_EQ(Events(Read(path)),
              "notify add ok hIcon=1 tip=\" Wakewatch\"|msgbox \"Wakewatch\" \"text\"|end|");
    DeleteFileA(path.c_str());
}

TEST(Win32TraceTest, WritesNothingWithoutAFile) {
    Win32Trace trace{std::string()};
    EXPECT_FALSE(trace.Enabled());
    trace.Write("end");  // no effect, no failure
}

}  // namespace
}  // namespace ww::platform
