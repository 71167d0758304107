#include "platform/linux/system/LinuxLocale.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace ww::platform {
namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string NameFor(const char* category) {
    for (const char* name : {"LC_ALL", category, "LANG"}) {
        std::string value = Variable(name);
        if (!value.empty()) {
            return value;
        }
    }
    return "C";
}

// A locale for one category, with LC_CTYPE from the same name so that
// CODESET tells the encoding of that category's texts.
locale_t OpenLocale(int categoryMask, const std::string& name) {
    locale_t locale = newlocale(categoryMask | LC_CTYPE_MASK, name.c_str(), nullptr);
    if (locale == nullptr) {
        locale = newlocale(categoryMask | LC_CTYPE_MASK, "C", nullptr);
    }
    return locale;
}

std::string ToUtf8(const char* text, const char* codeset) {
    std::string input(text == nullptr ? "" : text);
    std::string_view set(codeset == nullptr ? "" : codeset);
    if (input.empty() || set.empty() || set == "UTF-8" || set == "ANSI_X3.4-1968") {
        return input;
    }
    iconv_t converter = iconv_open("UTF-8", codeset);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return input;
    }
    std::string output(input.size() * 4, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1)) {
        return input;
    }
    output.resize(output.size() - outLeft);
    return output;
}

}  // namespace

LocaleNames LocaleNames::FromEnvironment() {
    return LocaleNames{NameFor("LC_TIME"), NameFor("LC_NUMERIC")};
}

LinuxLocale::LinuxLocale(const LocaleNames& names) {
    if (locale_t time = OpenLocale(LC_TIME_MASK, names.time)) {
        const char* codeset = nl_langinfo_l(CODESET, time);
        for (int i = 0; i < 12; ++i) {
            months_[static_cast<std::size_t>(i)] =
                ToUtf8(nl_langinfo_l(ABMON_1 + i, time), codeset);
        }
        freelocale(time);
    }
    if (locale_t numeric = OpenLocale(LC_NUMERIC_MASK, names.numeric)) {
        separator_ = ToUtf8(nl_langinfo_l(THOUSEP, numeric), nl_langinfo_l(CODESET, numeric));
        freelocale(numeric);
    }
    // C and POSIX group without a separator; the numbers read better with one.
    if (separator_.empty()) {
        separator_.assign(1, ',');
    }
}

std::string LinuxLocale::MonthAbbreviation(int month) {
    if (month < 1 || month > 12) {
        return std::string();
    }
    return months_[static_cast<std::size_t>(month - 1)];
}

std::string LinuxLocale::ThousandsSeparator() {
    return separator_;
}

}  // namespace ww::platform
