#include "platform/common/DocumentRegistry.h"

#include <algorithm>
#include <cstring>

namespace ww::platform {
namespace {

bool IsRoot(HKey key) {
    return key == kHkeyCurrentUser || key == kHkeyLocalMachine;
}

// True when `path` is `fixed` or a key above it.
bool IsAtOrAbove(std::string_view path, std::string_view fixed) {
    return path.size() <= fixed.size() && SameRegName(fixed.substr(0, path.size()), path) &&
           (path.size() == fixed.size() || path.empty() || fixed[path.size()] == '\\');
}

const RegValue* FindValue(const RegView& view, std::string_view path, std::string_view name) {
    for (const RegDocument* document : view) {
        if (const RegValue* value = document->FindValue(path, name)) {
            return value;
        }
    }
    return nullptr;
}

}  // namespace

std::int32_t RegEdit::ApplyTo(RegDocument& document) const {
    switch (kind) {
        case Kind::kCreateKey:
            document.CreateKey(path);
            return winerr::kSuccess;
        case Kind::kSetValue:
            document.SetValue(path, value);
            return winerr::kSuccess;
        case Kind::kDeleteKey:
            if (document.HasSubkeys(path)) {
                return winerr::kAccessDenied;
            }
            return document.DeleteKey(path) ? winerr::kSuccess : winerr::kFileNotFound;
        case Kind::kDeleteValue:
            return document.DeleteValue(path, value.name) ? winerr::kSuccess
                                                          : winerr::kFileNotFound;
    }
    return winerr::kNotSupported;
}

DocumentRegistry::DocumentRegistry(std::string_view fixedKey)
    : fixedKey_(NormalizeKeyPath(fixedKey)) {}

bool DocumentRegistry::Resolve(HKey key, std::string_view subKey, Opened& target) const {
    if (IsRoot(key)) {
        target = Opened{key, NormalizeKeyPath(subKey)};
        return true;
    }
    const auto it = handles_.find(key);
    if (it == handles_.end()) {
        return false;
    }
    target = Opened{it->second.root, JoinKeyPath(it->second.path, subKey)};
    return true;
}

std::int32_t DocumentRegistry::Answer(const RegValue& value, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t* dataSize) {
    const auto length = static_cast<std::uint32_t>(value.data.size());
    if (type != nullptr) {
        *type = value.type;
    }
    if (data != nullptr && (dataSize == nullptr || *dataSize < length)) {
        if (dataSize != nullptr) {
            *dataSize = length;
        }
        return winerr::kMoreData;
    }
    if (data != nullptr && length > 0) {
        std::memcpy(data, value.data.data(), length);
    }
    if (dataSize != nullptr) {
        *dataSize = length;
    }
    return winerr::kSuccess;
}

bool DocumentRegistry::KeyExists(const RegView& view, std::string_view path) const {
    return IsAtOrAbove(path, fixedKey_) ||
           std::any_of(view.begin(), view.end(), [&](auto* d) { return d->KeyExists(path); });
}

bool DocumentRegistry::HasSubkeys(const RegView& view, std::string_view path) const {
    return (IsAtOrAbove(path, fixedKey_) && !SameRegName(path, fixedKey_)) ||
           std::any_of(view.begin(), view.end(), [&](auto* d) { return d->HasSubkeys(path); });
}

std::int32_t DocumentRegistry::Prepare(HKey key, std::string_view subKey, Opened& target,
                                       RegView& view) {
    if (!Resolve(key, subKey, target)) {
        return winerr::kInvalidHandle;
    }
    return Load(target.root, view);
}

std::int32_t DocumentRegistry::PrepareValue(HKey key, Opened& target, RegView& view) {
    if (const std::int32_t error = Prepare(key, {}, target, view)) {
        return error;
    }
    return KeyExists(view, target.path) ? winerr::kSuccess : winerr::kKeyDeleted;
}

std::int32_t DocumentRegistry::RegOpenKeyA(HKey key, std::string_view subKey, HKey& result) {
    Opened target;
    RegView view;
    if (const std::int32_t error = Prepare(key, subKey, target, view)) {
        return error;
    }
    if (!KeyExists(view, target.path)) {
        return winerr::kFileNotFound;
    }
    result = ++lastHandle_;
    handles_[result] = std::move(target);
    return winerr::kSuccess;
}

std::int32_t DocumentRegistry::RegCreateKeyA(HKey key, std::string_view subKey, HKey& result) {
    Opened target;
    RegView view;
    if (const std::int32_t error = Prepare(key, subKey, target, view)) {
        return error;
    }
    if (!KeyExists(view, target.path)) {
        // Nothing grows below a handle whose key was deleted.
        const auto base = handles_.find(key);
        if (base != handles_.end() && !KeyExists(view, base->second.path)) {
            return winerr::kKeyDeleted;
        }
        const RegEdit create{RegEdit::Kind::kCreateKey, target.path, {}};
        if (const std::int32_t error = Write(target.root, view, create)) {
            return error;
        }
    }
    result = ++lastHandle_;
    handles_[result] = std::move(target);
    return winerr::kSuccess;
}

std::int32_t DocumentRegistry::RegQueryValueExA(HKey key, std::string_view name,
                                                std::uint32_t* type, std::uint8_t* data,
                                                std::uint32_t* dataSize) {
    Opened target;
    RegView view;
    if (const std::int32_t error = PrepareValue(key, target, view)) {
        return error;
    }
    const RegValue* value = FindValue(view, target.path, name);
    return value == nullptr ? winerr::kFileNotFound : Answer(*value, type, data, dataSize);
}

std::int32_t DocumentRegistry::RegSetValueExA(HKey key, std::string_view name, std::uint32_t type,
                                              const std::uint8_t* data, std::uint32_t size) {
    Opened target;
    RegView view;
    if (const std::int32_t error = PrepareValue(key, target, view)) {
        return error;
    }
    RegValue value{std::string(name), type,
                   std::vector<std::uint8_t>(data, data == nullptr ? data : data + size)};
    return Write(target.root, view,
                 RegEdit{RegEdit::Kind::kSetValue, target.path, std::move(value)});
}

std::int32_t DocumentRegistry::RegDeleteKeyA(HKey key, std::string_view subKey) {
    Opened target;
    RegView view;
    if (const std::int32_t error = Prepare(key, subKey, target, view)) {
        return error;
    }
    if (!KeyExists(view, target.path)) {
        return winerr::kFileNotFound;
    }
    if (IsAtOrAbove(target.path, fixedKey_) || HasSubkeys(view, target.path)) {
        return winerr::kAccessDenied;
    }
    return Write(target.root, view, RegEdit{RegEdit::Kind::kDeleteKey, target.path, {}});
}

std::int32_t DocumentRegistry::RegDeleteValueA(HKey key, std::string_view name) {
    Opened target;
    RegView view;
    if (const std::int32_t error = PrepareValue(key, target, view)) {
        return error;
    }
    if (FindValue(view, target.path, name) == nullptr) {
        return winerr::kFileNotFound;
    }
    return Write(target.root, view,
                 RegEdit{RegEdit::Kind::kDeleteValue, target.path,
                         RegValue{std::string(name), regtype::kNone, {}}});
}

std::int32_t DocumentRegistry::RegCloseKey(HKey key) {
    if (IsRoot(key)) {
        return winerr::kSuccess;  // predefined roots need no closing
    }
    return handles_.erase(key) == 1 ? winerr::kSuccess : winerr::kInvalidHandle;
}

}  // namespace ww::platform
