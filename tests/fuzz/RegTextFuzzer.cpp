// Settings files are edited by hand: whatever the reader accepts must be
// written back in a form it reads again to the same document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "platform/formats/RegText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace ww::platform;
    constexpr std::string_view kRoot = "HKEY_CURRENT_USER";
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto parsed = ParseRegText(text, kRoot);
    if (const auto* error = std::get_if<TextParseError>(&parsed)) {
        if (error->line < 0) {
            std::abort();
        }
        return 0;
    }
    const std::string written = FormatRegText(std::get<RegDocument>(parsed), kRoot);
    const auto reread = ParseRegText(written, kRoot);
    if (!std::holds_alternative<RegDocument>(reread)) {
        std::abort();  // the program could not read its own file
    }
    if (FormatRegText(std::get<RegDocument>(reread), kRoot) != written) {
        std::abort();  // a rewrite without changes changed the file
    }
    return 0;
}
