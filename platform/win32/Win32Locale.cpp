#include "platform/win32/Win32Locale.h"

#include "platform/win32/SystemCodePage.h"
#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

using GetLocaleInfoWFn = int(WINAPI*)(LCID, LCTYPE, LPWSTR, int);

// The locale's text for `item`, or nothing when it cannot be read. The wide
// call comes first, as it has every character; the 95/98/Me family only has
// the ANSI one, whose text the code page may have lost characters of.
bool ReadLocaleText(LCTYPE item, std::string& text) {
    static const auto wideCall =
        LookUp<GetLocaleInfoWFn>(::GetModuleHandleA("kernel32.dll"), "GetLocaleInfoW");
    if (wideCall != nullptr) {
        wchar_t wide[80] = {};
        const int length = wideCall(LOCALE_USER_DEFAULT, item, wide, 80);
        if (length > 0) {
            text = Utf8FromWide(std::wstring_view(wide, static_cast<std::size_t>(length - 1)));
            return true;
        }
    }
    char ansi[80] = {};
    const int length = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, item, ansi, 80);
    if (length <= 0) {
        return false;
    }
    text = FromSystemCodePage(std::string_view(ansi, static_cast<std::size_t>(length - 1)));
    return true;
}

constexpr const char* kEnglishMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

std::string Win32Locale::MonthAbbreviation(int month) {
    if (month < 1 || month > 12) {
        return std::string();
    }
    std::string text;
    if (!ReadLocaleText(static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + month - 1), text)) {
        return kEnglishMonths[month - 1];
    }
    return text;
}

std::string Win32Locale::ThousandsSeparator() {
    std::string text;
    if (!ReadLocaleText(LOCALE_STHOUSAND, text)) {
        return ",";
    }
    return text;
}

}  // namespace ww::platform
