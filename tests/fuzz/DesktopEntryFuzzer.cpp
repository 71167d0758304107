// Autostart entries may be edited by hand or by other tools: reading one
// never fails badly, and what is written back reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "platform/formats/DesktopEntry.h"
#include "platform/formats/DesktopExec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ww::platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto parsed = DesktopEntry::Parse(text);
    if (const auto* entry = std::get_if<DesktopEntry>(&parsed)) {
        const auto reread = DesktopEntry::Parse(entry->Text());
        if (!std::holds_alternative<DesktopEntry>(reread) ||
            std::get<DesktopEntry>(reread).Get("Exec") != entry->Get("Exec")) {
            std::abort();
        }
    }

    // An Exec line split into arguments joins back into one that splits the same.
    if (const auto arguments = SplitExecArguments(text)) {
        const auto again = SplitExecArguments(JoinExecArguments(*arguments));
        if (!arguments->empty() && again != arguments) {
            std::abort();
        }
    }
    if (const auto value = UnescapeDesktopValue(text)) {
        if (UnescapeDesktopValue(EscapeDesktopValue(*value)) != value) {
            std::abort();
        }
    }
    return 0;
}
