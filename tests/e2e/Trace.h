#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ww::e2e {

// One line of the program's trace: "<ms> <event> <details>".
struct TraceLine {
    std::int64_t ms = 0;
    // Everything after the time, as written (quotes and escapes kept).
    std::string text;
    // The double-quoted texts of the line, unescaped, in order.
    std::vector<std::string> quoted;

    bool StartsWith(std::string_view prefix) const { return text.starts_with(prefix); }
    // The value of a `name=` field, unescaped when quoted; empty when absent.
    std::string Field(std::string_view name) const;
};

// The trace file a program writes while it runs; read afresh on every call.
class Trace {
  public:
    explicit Trace(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

    // Whole lines only: a line still being written is left for the next read.
    std::vector<TraceLine> Lines() const;
    bool Has(std::string_view prefix) const;
    // Lines starting with prefix, in order.
    std::vector<TraceLine> All(std::string_view prefix) const;
    // Whole lines that do not follow the format.
    std::vector<std::string> Malformed() const;

    // nullopt for a line that does not follow the format.
    static std::optional<TraceLine> Parse(std::string_view line);

  private:
    std::vector<std::string> WholeLines() const;

    std::string path_;
};

}  // namespace ww::e2e
