#include "ui/Links.h"

#include "ui/IgnoreErrors.h"

namespace ww::ui {

namespace {
// ShellExecuteA reports failure as a value of 32 or less.
constexpr std::intptr_t kLastShellError = 32;
// The working directory handed to the shell: the one-character text 1.
constexpr std::string_view kLinkDirectory = "1";
}  // namespace

std::string_view LinkHandlerKind(std::string_view link) {
    if (link.starts_with("http")) {
        return "browser";
    }
    if (link.starts_with("mailto")) {
        return "mail client";
    }
    return "application handling those files";
}

std::string LinkFailureText(std::intptr_t result, std::string_view link) {
    return "Error " + std::to_string(result) + " opening link to " + std::string(link) + "\r\n" +
           "Check that your " + std::string(LinkHandlerKind(link)) + " is correctly installed.";
}

void ExecuteLink(platform::Shell& shell, platform::Dialogs& dialogs, platform::MainWindowView& view,
                 std::string_view title, const std::string& link) {
    IgnoreErrors([&] { view.SetApplicationMousePointer(platform::MousePointer::Hourglass); });
    // A shell call that raises an error opened nothing; it is reported as error 0.
    std::intptr_t result = 0;
    IgnoreErrors([&] {
        result = shell.ShellExecuteA(0, "open", link, "", kLinkDirectory, platform::kSwShowNormal);
    });
    if (result <= kLastShellError) {
        IgnoreErrors([&] {
            dialogs.MsgBox(LinkFailureText(result, link),
                           platform::mb::kOkOnly | platform::mb::kExclamation, title);
        });
    }
    IgnoreErrors([&] { view.SetApplicationMousePointer(platform::MousePointer::Default); });
}

}  // namespace ww::ui
