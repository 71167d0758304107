#pragma once

#include <exception>

namespace ww::ui {

// Runs one step of a procedure whose steps fail independently: an error
// abandons this step only, and the caller goes on with the next.
template <typename Step>
void IgnoreErrors(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace ww::ui
