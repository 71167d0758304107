#include "platform/linux/store/LinuxRegistry.h"

#include <iostream>

#include "platform/common/Utf8.h"
#include "platform/formats/RegText.h"
#include "platform/ports/ProgramInfo.h"

namespace ww::platform {
namespace {

constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kRunValue = kAppTitle;

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
    : DocumentRegistry(kRunKey),
      reporter_(diagnostics),
      userFile_(paths.userFile, "HKEY_CURRENT_USER", false, reporter_),
      machineFile_(paths.machineFile, "HKEY_LOCAL_MACHINE", true, reporter_),
      machineOverlay_(paths.machineOverlay, "HKEY_LOCAL_MACHINE", false, reporter_),
      userRun_(paths.userAutostart, std::string(kRunValue), false, reporter_),
      machineRun_(paths.machineAutostart, std::string(kRunValue), true, reporter_) {}

std::int32_t LinuxRegistry::Load(HKey root, RegView& view) {
    const std::vector<const RegFile*> files =
        root == kHkeyCurrentUser ? std::vector<const RegFile*>{&userFile_}
                                 : std::vector<const RegFile*>{&machineOverlay_, &machineFile_};
    loaded_.assign(files.size(), RegDocument{});
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (const std::int32_t error = files[i]->Load(loaded_[i])) {
            return error;
        }
        view.push_back(&loaded_[i]);
    }
    return winerr::kSuccess;
}

std::int32_t LinuxRegistry::Write(HKey root, const RegView& view, const RegEdit& edit) {
    if (edit.kind == RegEdit::Kind::kCreateKey && !IsStorablePath(edit.path)) {
        return kErrorInvalidParameter;
    }
    const Change change = [&](RegDocument& document) { return edit.ApplyTo(document); };
    if (root == kHkeyCurrentUser) {
        return userFile_.Update(change);
    }
    const RegDocument& overlay = *view[0];
    const RegDocument& system = *view[1];
    switch (edit.kind) {
        case RegEdit::Kind::kCreateKey:
            return WriteMachine(change, false);
        case RegEdit::Kind::kSetValue:
            return WriteMachine(change, overlay.FindValue(edit.path, edit.value.name) != nullptr);
        case RegEdit::Kind::kDeleteValue:
            // A value the overlay holds is deleted there (the system's own, if
            // any, shows again); otherwise from the system file, which may refuse.
            return overlay.FindValue(edit.path, edit.value.name) != nullptr
                       ? machineOverlay_.Update(change)
                       : machineFile_.Update(change);
        case RegEdit::Kind::kDeleteKey:
            break;
    }
    // The key goes from both files that hold it.
    std::int32_t result = winerr::kSuccess;
    if (overlay.KeyExists(edit.path)) {
        result = machineOverlay_.Update(change);
    }
    if (system.KeyExists(edit.path)) {
        const std::int32_t error = machineFile_.Update(change);
        result = result != winerr::kSuccess ? result : error;
    }
    return result;
}

AutostartFile* LinuxRegistry::RunValue(HKey key, std::string_view name) {
    Opened target;
    if (!Resolve(key, {}, target) || !SameRegName(target.path, kRunKey) ||
        !SameRegName(name, kRunValue)) {
        return nullptr;
    }
    return target.root == kHkeyCurrentUser ? &userRun_ : &machineRun_;
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

std::int32_t LinuxRegistry::RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type,
                                             std::uint8_t* data, std::uint32_t* dataSize) {
    AutostartFile* run = RunValue(key, name);
    if (run == nullptr) {
        return DocumentRegistry::RegQueryValueExA(key, name, type, data, dataSize);
    }
    std::string text;
    if (const std::int32_t error = run->Read(text)) {
        return error;
    }
    return Answer(RegValue{std::string(name), regtype::kSz, {text.begin(), text.end()}}, type, data,
                  dataSize);
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
    // The files hold text without its terminator, as the editor shows it.
    if (type == regtype::kSz && size > 0 && data[size - 1] == 0) {
        --size;
    }
    AutostartFile* run = RunValue(key, name);
    if (run == nullptr) {
        return DocumentRegistry::RegSetValueExA(key, name, type, data, size);
    }
    const std::string text(data, data + size);
    if (type != regtype::kSz || text.find('\0') != std::string::npos || !IsUtf8(text)) {
        return kErrorInvalidParameter;  // an Exec= line holds one line of text
    }
    return run->Write(text);
}

std::int32_t LinuxRegistry::RegDeleteValueA(HKey key, std::string_view name) {
    AutostartFile* run = RunValue(key, name);
    return run == nullptr ? DocumentRegistry::RegDeleteValueA(key, name) : run->Remove();
}

}  // namespace ww::platform
