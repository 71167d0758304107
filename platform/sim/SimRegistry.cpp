#include "platform/sim/SimRegistry.h"

#include <utility>

namespace ww::platform {
namespace {

std::string KeyName(HKey key) {
    if (key == kHkeyCurrentUser) {
        return "HKCU";
    }
    return key == kHkeyLocalMachine ? "HKLM" : std::to_string(key);
}

}  // namespace

bool SimRegistry::Intercepted(const std::string& call, std::string_view function,
                              std::int32_t& code) {
    log_.Add(call);
    const auto it = failNext_.find(function);
    if (it == failNext_.end()) {
        return false;
    }
    code = it->second;
    failNext_.erase(it);
    return true;
}

bool SimRegistry::Refused(HKey key) const {
    Opened target;
    if (!Resolve(key, {}, target)) {
        return false;  // the call itself answers for a bad handle
    }
    return target.root == kHkeyCurrentUser ? currentUserProtected_ : localMachineProtected_;
}

const RegDocument* SimRegistry::Document(HKey root) const {
    if (root == kHkeyCurrentUser) {
        return &currentUser_;
    }
    return root == kHkeyLocalMachine ? &localMachine_ : nullptr;
}

RegDocument* SimRegistry::Document(HKey root) {
    return const_cast<RegDocument*>(std::as_const(*this).Document(root));
}

std::int32_t SimRegistry::Load(HKey root, RegView& view) {
    view = {Document(root)};
    return winerr::kSuccess;
}

std::int32_t SimRegistry::Write(HKey root, const RegView&, const RegEdit& edit) {
    return edit.ApplyTo(*Document(root));
}

std::int32_t SimRegistry::RegOpenKeyA(HKey key, std::string_view subKey, HKey& result) {
    std::int32_t code = 0;
    if (Intercepted("RegOpenKeyA(" + KeyName(key) + ", " + std::string(subKey) + ")", "RegOpenKeyA",
                    code)) {
        return code;
    }
    return DocumentRegistry::RegOpenKeyA(key, subKey, result);
}

std::int32_t SimRegistry::RegCreateKeyA(HKey key, std::string_view subKey, HKey& result) {
    std::int32_t code = 0;
    if (Intercepted("RegCreateKeyA(" + KeyName(key) + ", " + std::string(subKey) + ")",
                    "RegCreateKeyA", code)) {
        return code;
    }
    return Refused(key) ? winerr::kAccessDenied
                        : DocumentRegistry::RegCreateKeyA(key, subKey, result);
}

std::int32_t SimRegistry::RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type,
                                           std::uint8_t* data, std::uint32_t* dataSize) {
    std::int32_t code = 0;
    if (Intercepted("RegQueryValueExA(" + std::string(name) + ")", "RegQueryValueExA", code)) {
        return code;
    }
    return DocumentRegistry::RegQueryValueExA(key, name, type, data, dataSize);
}

std::int32_t SimRegistry::RegSetValueExA(HKey key, std::string_view name, std::uint32_t type,
                                         const std::uint8_t* data, std::uint32_t size) {
    std::int32_t code = 0;
    if (Intercepted("RegSetValueExA(" + std::string(name) + ", " + std::to_string(type) + ", " +
                        std::to_string(size) + ")",
                    "RegSetValueExA", code)) {
        return code;
    }
    return Refused(key) ? winerr::kAccessDenied
                        : DocumentRegistry::RegSetValueExA(key, name, type, data, size);
}

std::int32_t SimRegistry::RegDeleteKeyA(HKey key, std::string_view subKey) {
    std::int32_t code = 0;
    if (Intercepted("RegDeleteKeyA(" + KeyName(key) + ", " + std::string(subKey) + ")",
                    "RegDeleteKeyA", code)) {
        return code;
    }
    return Refused(key) ? winerr::kAccessDenied : DocumentRegistry::RegDeleteKeyA(key, subKey);
}

std::int32_t SimRegistry::RegDeleteValueA(HKey key, std::string_view name) {
    std::int32_t code = 0;
    if (Intercepted("RegDeleteValueA(" + std::string(name) + ")", "RegDeleteValueA", code)) {
        return code;
    }
    return Refused(key) ? winerr::kAccessDenied : DocumentRegistry::RegDeleteValueA(key, name);
}

std::int32_t SimRegistry::RegCloseKey(HKey key) {
    std::int32_t code = 0;
    if (Intercepted("RegCloseKey", "RegCloseKey", code)) {
        return code;
    }
    return DocumentRegistry::RegCloseKey(key);
}

void SimRegistry::SetValue(HKey root, std::string_view path, std::string_view name,
                           std::uint32_t type, std::vector<std::uint8_t> bytes) {
    if (RegDocument* document = Document(root)) {
        document->SetValue(NormalizeKeyPath(path),
                           RegValue{std::string(name), type, std::move(bytes)});
    }
}

void SimRegistry::SetString(HKey root, std::string_view path, std::string_view name,
                            std::string_view text) {
    SetValue(root, path, name, regtype::kSz, std::vector<std::uint8_t>(text.begin(), text.end()));
}

void SimRegistry::SetDword(HKey root, std::string_view path, std::string_view name,
                           std::uint32_t value) {
    std::vector<std::uint8_t> bytes(4);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    SetValue(root, path, name, regtype::kDword, std::move(bytes));
}

void SimRegistry::CreateKey(HKey root, std::string_view path) {
    if (RegDocument* document = Document(root)) {
        document->CreateKey(NormalizeKeyPath(path));
    }
}

std::optional<SimRegistry::Value> SimRegistry::GetValue(HKey root, std::string_view path,
                                                        std::string_view name) const {
    const RegDocument* document = Document(root);
    const RegValue* value =
        document == nullptr ? nullptr : document->FindValue(NormalizeKeyPath(path), name);
    if (value == nullptr) {
        return std::nullopt;
    }
    return Value{value->type, value->data};
}

bool SimRegistry::KeyExists(HKey root, std::string_view path) const {
    const RegDocument* document = Document(root);
    return document != nullptr && document->KeyExists(NormalizeKeyPath(path));
}

void SimRegistry::SetWriteProtected(HKey root, bool protectedRoot) {
    if (root == kHkeyCurrentUser) {
        currentUserProtected_ = protectedRoot;
    } else if (root == kHkeyLocalMachine) {
        localMachineProtected_ = protectedRoot;
    }
}

void SimRegistry::FailNext(std::string_view function, std::int32_t code) {
    failNext_[std::string(function)] = code;
}

}  // namespace ww::platform
