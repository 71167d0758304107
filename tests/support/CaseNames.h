#pragma once

#include <ostream>
#include <string>
#include <string_view>

// Table-driven suites whose cases carry a `name`: the test is called after its
// case, and CTest's listing shows that name where it would otherwise print the
// case's bytes. A suite passes CaseName{} as INSTANTIATE_TEST_SUITE_P's name
// generator and says `using ww::cases::PrintTo;` in the namespace of its case
// type, where GoogleTest's printer finds it.
namespace ww::cases {

template <class Case>
concept NamedCase = requires(const Case& c) {
    std::string_view(c.name);
};

struct CaseName {
    template <class Info>
    std::string operator()(const Info& info) const {
        return std::string(info.param.name);
    }
};

template <NamedCase Case>
void PrintTo(const Case& value, std::ostream* out) {
    *out << value.name;
}

}  // namespace ww::cases
