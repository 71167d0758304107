#include "platform/common/RegDocument.h"

#include <algorithm>

namespace ww::platform {
namespace {

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when `path` lies strictly below `ancestor`.
bool IsBelow(std::string_view path, std::string_view ancestor) {
    if (ancestor.empty()) {
        return !path.empty();
    }
    return path.size() > ancestor.size() && path[ancestor.size()] == '\\' &&
           SameRegName(path.substr(0, ancestor.size()), ancestor);
}

std::string_view Parent(std::string_view path) {
    const auto cut = path.rfind('\\');
    return cut == std::string_view::npos ? std::string_view{} : path.substr(0, cut);
}

// The comment lines of `notes` appended to `to`; blank lines are layout
// that goes with what they stood before.
void KeepComments(const RegNotes& notes, RegNotes& to) {
    for (const auto& line : notes) {
        if (line.find_first_not_of(" \t") != std::string::npos) {
            to.push_back(line);
        }
    }
}

}  // namespace

RegNotes& RegSection::NotesBefore(std::string_view name) {
    for (auto& [value, notes] : valueNotes) {
        if (SameRegName(value, name)) {
            return notes;
        }
    }
    return valueNotes.emplace_back(std::string(name), RegNotes{}).second;
}

const RegNotes* RegSection::FindNotesBefore(std::string_view name) const {
    for (const auto& [value, notes] : valueNotes) {
        if (SameRegName(value, name)) {
            return &notes;
        }
    }
    return nullptr;
}

bool SameRegName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Fold(x) == Fold(y); });
}

std::string NormalizeKeyPath(std::string_view path) {
    std::string normal;
    while (!path.empty()) {
        const auto cut = path.find('\\');
        const auto part = path.substr(0, cut);
        if (!part.empty()) {
            if (!normal.empty()) {
                normal += '\\';
            }
            normal += part;
        }
        path = cut == std::string_view::npos ? std::string_view{} : path.substr(cut + 1);
    }
    return normal;
}

std::string JoinKeyPath(std::string_view base, std::string_view sub) {
    return NormalizeKeyPath(std::string(base) + "\\" + std::string(sub));
}

RegSection* RegDocument::FindSection(std::string_view path) {
    auto it = std::find_if(sections_.begin(), sections_.end(),
                           [&](const RegSection& s) { return SameRegName(s.path, path); });
    return it == sections_.end() ? nullptr : &*it;
}

const RegSection* RegDocument::FindSection(std::string_view path) const {
    return const_cast<RegDocument*>(this)->FindSection(path);
}

bool RegDocument::KeyExists(std::string_view path) const {
    return path.empty() || FindSection(path) != nullptr || HasSubkeys(path);
}

bool RegDocument::HasSubkeys(std::string_view path) const {
    return std::any_of(sections_.begin(), sections_.end(),
                       [&](const RegSection& s) { return IsBelow(s.path, path); });
}

const RegValue* RegDocument::FindValue(std::string_view path, std::string_view name) const {
    const RegSection* section = FindSection(path);
    if (section == nullptr) {
        return nullptr;
    }
    auto it = std::find_if(section->values.begin(), section->values.end(),
                           [&](const RegValue& v) { return SameRegName(v.name, name); });
    return it == section->values.end() ? nullptr : &*it;
}

RegSection& RegDocument::Section(std::string_view path) {
    if (RegSection* section = FindSection(path)) {
        return *section;
    }
    RegSection& section = sections_.emplace_back();
    section.path = std::string(path);
    return section;
}

void RegDocument::CreateKey(std::string_view path) {
    if (!KeyExists(path)) {
        Section(path);
    }
}

void RegDocument::SetValue(std::string_view path, RegValue value) {
    auto& values = Section(path).values;
    auto it = std::find_if(values.begin(), values.end(),
                           [&](const RegValue& v) { return SameRegName(v.name, value.name); });
    if (it == values.end()) {
        values.push_back(std::move(value));
    } else {
        it->type = value.type;
        it->data = std::move(value.data);
    }
}

bool RegDocument::DeleteValue(std::string_view path, std::string_view name) {
    RegSection* section = FindSection(path);
    if (section == nullptr) {
        return false;
    }
    auto& values = section->values;
    auto it = std::find_if(values.begin(), values.end(),
                           [&](const RegValue& v) { return SameRegName(v.name, name); });
    if (it == values.end()) {
        return false;
    }
    const auto next = it + 1;
    if (const RegNotes* notes = section->FindNotesBefore(name)) {
        RegNotes kept;
        KeepComments(*notes, kept);
        RegNotes& to = next == values.end() ? section->trailing : section->NotesBefore(next->name);
        to.insert(to.begin(), kept.begin(), kept.end());
        std::erase_if(section->valueNotes,
                      [&](const auto& entry) { return SameRegName(entry.first, name); });
    }
    values.erase(it);
    return true;
}

bool RegDocument::DeleteKey(std::string_view path) {
    const std::string key(path);
    const auto it = std::find_if(sections_.begin(), sections_.end(),
                                 [&](const RegSection& s) { return SameRegName(s.path, key); });
    if (it == sections_.end()) {
        return false;
    }
    RegNotes kept;
    KeepComments(it->leading, kept);
    for (const auto& [value, notes] : it->valueNotes) {
        KeepComments(notes, kept);
    }
    KeepComments(it->trailing, kept);
    const auto next = sections_.erase(it);
    RegNotes& to = next == sections_.end() ? trailer_ : next->leading;
    to.insert(to.begin(), kept.begin(), kept.end());
    // The parent may have existed only through this section.
    const std::string parent(Parent(key));
    if (!parent.empty() && !KeyExists(parent)) {
        Section(parent);
    }
    return true;
}

}  // namespace ww::platform
