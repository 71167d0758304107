#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ww::platform {

struct RegValue {
    std::string name;  // "" is the key's default value
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    bool operator==(const RegValue&) const = default;
};

// Comment and blank lines of a file, kept with what follows them so that a
// rewrite puts them back where they were.
using RegNotes = std::vector<std::string>;

// One [key] section: its path below the root ("" for the root itself) and
// its values, in the order they were read or added.
struct RegSection {
    std::string path;
    std::vector<RegValue> values;
    RegNotes leading;   // before the [key] line
    RegNotes trailing;  // after the last value
    // Before a value, by the value's name.
    std::vector<std::pair<std::string, RegNotes>> valueNotes;

    // The notes before the value `name`, made empty when it has none yet.
    RegNotes& NotesBefore(std::string_view name);
    const RegNotes* FindNotesBefore(std::string_view name) const;
};

// Key and value names compare without regard to ASCII case, as the
// registry's do, and keep the spelling they were made with.
bool SameRegName(std::string_view a, std::string_view b);

// `path` with empty components (doubled, leading or trailing "\") removed.
std::string NormalizeKeyPath(std::string_view path);

// `base` + "\" + `sub`, normalized.
std::string JoinKeyPath(std::string_view base, std::string_view sub);

// The keys and values of one registry root as a settings file holds them.
// A key exists when it has a section or a section lies below it, as when a
// file is imported; sections keep their order so rewriting a file changes
// only what was changed. Paths passed in must be normalized.
class RegDocument {
  public:
    const std::vector<RegSection>& Sections() const { return sections_; }

    bool KeyExists(std::string_view path) const;
    bool HasSubkeys(std::string_view path) const;
    const RegValue* FindValue(std::string_view path, std::string_view name) const;

    // The key's section, appended when it has none yet.
    RegSection& Section(std::string_view path);
    void CreateKey(std::string_view path);
    // Replaces a value of the same name in place, or appends it.
    void SetValue(std::string_view path, RegValue value);
    bool DeleteValue(std::string_view path, std::string_view name);
    // Removes the key's sections and values (not its subkeys; callers refuse
    // those first). The parent key keeps existing. False when it had none.
    bool DeleteKey(std::string_view path);

    // Notes after the last section. Comments of a value or key that is
    // deleted move on to whatever follows it; its blank lines go with it.
    RegNotes& Trailer() { return trailer_; }
    const RegNotes& Trailer() const { return trailer_; }

  private:
    RegSection* FindSection(std::string_view path);
    const RegSection* FindSection(std::string_view path) const;

    std::vector<RegSection> sections_;
    RegNotes trailer_;
};

}  // namespace ww::platform
