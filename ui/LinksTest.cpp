#include "ui/Links.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/FrmMainLayout.h"
#include "ui/FrmMainTestSupport.h"

namespace ww::ui {
namespace {

using platform::MainControl;

TEST(Links, FailureTextBlamesTheProgramByTheLinksFirstCharacters) {
    const struct {
        std::intptr_t result;
        std::string link;
        std::string text;
    } cases[] = {
        {31, "mailto:wakewatch@example.org?subject=Wakewatch 1.5.1",
         "Error 31 opening link to mailto:wakewatch@example.org?subject=Wakewatch 1.5.1\r\n"
         "Check that your mail client is correctly installed."},
        {2, "http://www.example.org/",
         "Error 2 opening link to http://www.example.org/\r\n"
         "Check that your browser is correctly installed."},
        {0, "https://www.example.org/",
         "Error 0 opening link to https://www.example.org/\r\n"
         "Check that your browser is correctly installed."},
        {5, "HTTP://www.example.org/",
         "Error 5 opening link to HTTP://www.example.org/\r\n"
         "Check that your application handling those files is correctly installed."},
        {5, "Mailto:a@b",
         "Error 5 opening link to Mailto:a@b\r\n"
         "Check that your application handling those files is correctly installed."},
        {32, "C:\\readme.txt",
         "Error 32 opening link to C:\\readme.txt\r\n"
         "Check that your application handling those files is correctly installed."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LinkFailureText(c.result, c.link), c.text);
    }
}

class LinksTest : public ::testing::Test, public FrmMainFixture {
  protected:
    LinksTest() { frm.Show(); }
};

TEST_F(LinksTest, ShellOpensTheLinkAndFailuresAreExplained) {
    const struct {
        std::intptr_t result;
        bool box;
    } cases[] = {{42, false}, {33, false}, {32, true}, {31, true}, {0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        sim.shell().SetExecuteResult(c.result);
        sim.log().Clear();
        const std::size_t boxes = sim.dialogs().Shown().size();
        frm.ExecuteLink("mailto:x@y");
        ASSERT_FALSE(sim.shell().Executed().empty());
        const auto& call = sim.shell().Executed().back();
        EXPECT_EQ(call.owner, 0U);
        EXPECT_EQ(call.verb, "open");
        EXPECT_EQ(call.file, "mailto:x@y");
        EXPECT_EQ(call.parameters, "");
        EXPECT_EQ(call.directory, "1");
        EXPECT_EQ(call.showCommand, 1);
        EXPECT_EQ(sim.dialogs().Shown().size(), boxes + (c.box ? 1 : 0));
        if (c.box) {
            EXPECT_EQ(sim.dialogs().Shown().back().text, LinkFailureText(c.result, "mailto:x@y"));
            EXPECT_EQ(sim.dialogs().Shown().back().style, 48U);
            EXPECT_EQ(sim.dialogs().Shown().back().title, "Wakewatch");
        }
        // The hourglass covers the shell and the box, then the arrow is back.
        std::vector<std::string> expected = {"SetApplicationMousePointer(Hourglass)",
                                             "ShellExecuteA"};
        if (c.box) {
            expected.push_back("MsgBox");
        }
        expected.push_back("SetApplicationMousePointer(Default)");
        std::vector<std::string> calls;
        for (const auto& entry : sim.log().Entries()) {
            if (entry == "App") {
                continue;  // the box's title
            }
            calls.push_back(entry.starts_with("SetApplicationMousePointer")
                                ? entry
                                : entry.substr(0, entry.find('(')));
        }
        EXPECT_EQ(calls, expected);
        EXPECT_EQ(View().ApplicationPointer(), platform::MousePointer::Default);
    }
}

TEST_F(LinksTest, LinkLabelsOpenTheWebsiteAndAMailWithAPlainSubject) {
    View().UserClick(MainControl::lblWebsite);
    View().UserClick(MainControl::lblEmail);
    ASSERT_EQ(sim.shell().Executed().size(), 2U);
    EXPECT_EQ(sim.shell().Executed()[0].file, std::string(kWebsiteAddress));
    EXPECT_TRUE(kWebsiteAddress.starts_with("http"));
    EXPECT_EQ(sim.shell().Executed()[1].file,
              "mailto:" + std::string(kAuthorEmail) + "?subject=Wakewatch 1.5.1");
}

}  // namespace
}  // namespace ww::ui
