#include "platform/linux/LinuxRegistry.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "platform/common/RegText.h"
#include "platform/common/Utf8.h"

namespace ww::platform {
namespace {

constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kRunValue = "Wakewatch";
// ERROR_KEY_DELETED: the handle's key was deleted after it was opened.
constexpr std::int32_t kKeyDeleted = 1018;

bool IsRunKeyOrAbove(std::string_view path) {
    return path.size() <= kRunKey.size() && SameRegName(kRunKey.substr(0, path.size()), path) &&
           (path.size() == kRunKey.size() || path.empty() || kRunKey[path.size()] == '\\');
}

bool KeyExists(const std::vector<RegDocument>& view, std::string_view path) {
    return IsRunKeyOrAbove(path) ||
           std::any_of(view.begin(), view.end(), [&](const auto& d) { return d.KeyExists(path); });
}

bool HasSubkeys(const std::vector<RegDocument>& view, std::string_view path) {
    return (IsRunKeyOrAbove(path) && !SameRegName(path, kRunKey)) ||
           std::any_of(view.begin(), view.end(), [&](const auto& d) { return d.HasSubkeys(path); });
}

const RegValue* FindValue(const std::vector<RegDocument>& view, std::string_view path,
                          std::string_view name) {
    for (const auto& document : view) {
        if (const RegValue* value = document.FindValue(path, name)) {
            return value;
        }
    }
    return nullptr;
}

bool IsStorablePath(std::string_view path) {
    while (!path.empty()) {
        const auto cut = path.find('\\');
        if (!IsStorableRegName(path.substr(0, cut))) {
            return false;
        }
        path = cut == std::string_view::npos ? std::string_view{} : path.substr(cut + 1);
    }
    return true;
}

}  // namespace

LinuxRegistry::LinuxRegistry(const StorePaths& paths) : LinuxRegistry(paths, std::cerr) {}

LinuxRegistry::LinuxRegistry(const StorePaths& paths, std::ostream& diagnostics)
    : reporter_(diagnostics),
      userFile_(paths.userFile, "HKEY_CURRENT_USER", false, reporter_),
      machineFile_(paths.machineFile, "HKEY_LOCAL_MACHINE", true, reporter_),
      machineOverlay_(paths.machineOverlay, "HKEY_LOCAL_MACHINE", false, reporter_),
      userRun_(paths.userAutostart, std::string(kRunValue), false, reporter_),
      machineRun_(paths.machineAutostart, std::string(kRunValue), true, reporter_) {}

bool LinuxRegistry::Resolve(HKey key, std::string_view subKey, Opened& target) const {
    if (key == kHkeyCurrentUser || key == kHkeyLocalMachine) {
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

std::int32_t LinuxRegistry::LoadView(HKey root, std::vector<RegDocument>& view) const {
    const std::vector<const RegFile*> files =
        root == kHkeyCurrentUser ? std::vector<const RegFile*>{&userFile_}
                                 : std::vector<const RegFile*>{&machineOverlay_, &machineFile_};
    view.assign(files.size(), RegDocument{});
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (const std::int32_t error = files[i]->Load(view[i])) {
            return error;
        }
    }
    return winerr::kSuccess;
}

AutostartFile* LinuxRegistry::RunValue(const Opened& key, std::string_view name) {
    if (!SameRegName(key.path, kRunKey) || !SameRegName(name, kRunValue)) {
        return nullptr;
    }
    return key.root == kHkeyCurrentUser ? &userRun_ : &machineRun_;
}

std::int32_t LinuxRegistry::WriteMachine(const Change& change, bool overlayFirst) {
    if (!overlayFirst) {
        const std::int32_t result = machineFile_.Update(change);
        if (result != winerr::kAccessDenied) {
            return result;
        }
    }
    return machineOverlay_.Update(change);
}

HKey LinuxRegistry::NewHandle(Opened target) {
    const HKey handle = ++lastHandle_;
    handles_[handle] = std::move(target);
    return handle;
}

std::int32_t LinuxRegistry::RegOpenKeyA(HKey key, std::string_view subKey, HKey& result) {
    Opened target;
    if (!Resolve(key, subKey, target)) {
        return winerr::kInvalidHandle;
    }
    std::vector<RegDocument> view;
    if (const std::int32_t error = LoadView(target.root, view)) {
        return error;
    }
    if (!KeyExists(view, target.path)) {
        return winerr::kFileNotFound;
    }
    result = NewHandle(std::move(target));
    return winerr::kSuccess;
}

std::int32_t LinuxRegistry::RegCreateKeyA(HKey key, std::string_view subKey, HKey& result) {
    Opened target;
    if (!Resolve(key, subKey, target)) {
        return winerr::kInvalidHandle;
    }
    std::vector<RegDocument> view;
    if (const std::int32_t error = LoadView(target.root, view)) {
        return error;
    }
    if (!KeyExists(view, target.path)) {
        if (!IsStorablePath(target.path)) {
            return kErrorInvalidParameter;
        }
        const Change create = [&](RegDocument& document) {
            document.CreateKey(target.path);
            return winerr::kSuccess;
        };
        const std::int32_t error =
            target.root == kHkeyCurrentUser ? WriteUser(create) : WriteMachine(create, false);
        if (error != winerr::kSuccess) {
            return error;
        }
    }
    result = NewHandle(std::move(target));
    return winerr::kSuccess;
}

std::int32_t LinuxRegistry::RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type,
                                             std::uint8_t* data, std::uint32_t* dataSize) {
    Opened target;
    if (!Resolve(key, {}, target)) {
        return winerr::kInvalidHandle;
    }
    RegValue value;
    if (AutostartFile* run = RunValue(target, name)) {
        std::string text;
        if (const std::int32_t error = run->Read(text)) {
            return error;
        }
        value = RegValue{std::string(name), regtype::kSz, {text.begin(), text.end()}};
    } else {
        std::vector<RegDocument> view;
        if (const std::int32_t error = LoadView(target.root, view)) {
            return error;
        }
        if (!KeyExists(view, target.path)) {
            return kKeyDeleted;
        }
        const RegValue* found = FindValue(view, target.path, name);
        if (found == nullptr) {
            return winerr::kFileNotFound;
        }
        value = *found;
    }
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

std::int32_t LinuxRegistry::RegSetValueExA(HKey key, std::string_view name, std::uint32_t type,
                                           const std::uint8_t* data, std::uint32_t size) {
    Opened target;
    if (!Resolve(key, {}, target)) {
        return winerr::kInvalidHandle;
    }
    if (!IsStorableRegName(name) || (data == nullptr && size > 0)) {
        return kErrorInvalidParameter;
    }
    std::vector<std::uint8_t> bytes(data, data + size);
    // The files hold text without its terminator, as the editor shows it.
    if (type == regtype::kSz && !bytes.empty() && bytes.back() == 0) {
        bytes.pop_back();
    }
    if (AutostartFile* run = RunValue(target, name)) {
        const std::string text(bytes.begin(), bytes.end());
        if (type != regtype::kSz || text.find('\0') != std::string::npos || !IsUtf8(text)) {
            return kErrorInvalidParameter;  // an Exec= line holds one line of text
        }
        return run->Write(text);
    }
    std::vector<RegDocument> view;
    if (const std::int32_t error = LoadView(target.root, view)) {
        return error;
    }
    if (!KeyExists(view, target.path)) {
        return kKeyDeleted;
    }
    const Change set = [&](RegDocument& document) {
        document.SetValue(target.path, RegValue{std::string(name), type, bytes});
        return winerr::kSuccess;
    };
    if (target.root == kHkeyCurrentUser) {
        return WriteUser(set);
    }
    return WriteMachine(set, view.front().FindValue(target.path, name) != nullptr);
}

std::int32_t LinuxRegistry::RegDeleteKeyA(HKey key, std::string_view subKey) {
    Opened target;
    if (!Resolve(key, subKey, target)) {
        return winerr::kInvalidHandle;
    }
    std::vector<RegDocument> view;
    if (const std::int32_t error = LoadView(target.root, view)) {
        return error;
    }
    if (!KeyExists(view, target.path)) {
        return winerr::kFileNotFound;
    }
    if (IsRunKeyOrAbove(target.path) || HasSubkeys(view, target.path)) {
        return winerr::kAccessDenied;
    }
    const Change remove = [&](RegDocument& document) {
        if (document.HasSubkeys(target.path)) {
            return winerr::kAccessDenied;
        }
        return document.DeleteKey(target.path) ? winerr::kSuccess : winerr::kFileNotFound;
    };
    if (target.root == kHkeyCurrentUser) {
        return WriteUser(remove);
    }
    // The key goes from both files that hold it.
    std::int32_t result = winerr::kSuccess;
    if (view[0].KeyExists(target.path)) {
        result = machineOverlay_.Update(remove);
    }
    if (view[1].KeyExists(target.path)) {
        const std::int32_t error = machineFile_.Update(remove);
        result = result != winerr::kSuccess ? result : error;
    }
    return result;
}

std::int32_t LinuxRegistry::RegDeleteValueA(HKey key, std::string_view name) {
    Opened target;
    if (!Resolve(key, {}, target)) {
        return winerr::kInvalidHandle;
    }
    if (AutostartFile* run = RunValue(target, name)) {
        return run->Remove();
    }
    std::vector<RegDocument> view;
    if (const std::int32_t error = LoadView(target.root, view)) {
        return error;
    }
    if (!KeyExists(view, target.path)) {
        return kKeyDeleted;
    }
    if (FindValue(view, target.path, name) == nullptr) {
        return winerr::kFileNotFound;
    }
    const Change remove = [&](RegDocument& document) {
        return document.DeleteValue(target.path, name) ? winerr::kSuccess : winerr::kFileNotFound;
    };
    if (target.root == kHkeyCurrentUser) {
        return WriteUser(remove);
    }
    // A value the overlay holds is deleted there (the system's own, if
    // any, shows again); otherwise from the system file, which may refuse.
    return view.front().FindValue(target.path, name) != nullptr ? machineOverlay_.Update(remove)
                                                                : machineFile_.Update(remove);
}

std::int32_t LinuxRegistry::RegCloseKey(HKey key) {
    if (key == kHkeyCurrentUser || key == kHkeyLocalMachine) {
        return winerr::kSuccess;
    }
    return handles_.erase(key) == 1 ? winerr::kSuccess : winerr::kInvalidHandle;
}

}  // namespace ww::platform
