#include "platform/sim/SimRegistry.h"

#include <algorithm>
#include <cstring>

namespace ww::platform {
namespace {

// ERROR_KEY_DELETED: the handle's key was deleted after it was opened.
constexpr std::int32_t kKeyDeleted = 1018;

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return lower;
}

// Empty components (doubled or trailing "\") are skipped.
std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> parts;
    while (!path.empty()) {
        const auto cut = path.find('\\');
        const auto part = path.substr(0, cut);
        if (!part.empty()) {
            parts.emplace_back(part);
        }
        path = cut == std::string_view::npos ? std::string_view{} : path.substr(cut + 1);
    }
    return parts;
}

}  // namespace

struct SimRegistry::Key {
    struct Child {
        std::string name;
        std::unique_ptr<Key> key;
    };
    struct Named {
        std::string name;
        Value value;
    };
    std::map<std::string, Child> subkeys;  // by lower-case name
    std::map<std::string, Named> values;   // by lower-case name

    Key* Sub(std::string_view name) const {
        auto it = subkeys.find(Lower(name));
        return it == subkeys.end() ? nullptr : it->second.key.get();
    }
    Key* SubOrCreate(std::string_view name) {
        auto& child = subkeys[Lower(name)];
        if (!child.key) {
            child.name = std::string(name);
            child.key = std::make_unique<Key>();
        }
        return child.key.get();
    }
};

SimRegistry::SimRegistry(SimLog& log)
    : log_(log), currentUser_(std::make_unique<Key>()), localMachine_(std::make_unique<Key>()) {}

SimRegistry::~SimRegistry() = default;

std::string SimRegistry::KeyName(HKey key) const {
    if (key == kHkeyCurrentUser) {
        return "HKCU";
    }
    return key == kHkeyLocalMachine ? "HKLM" : std::to_string(key);
}

SimRegistry::Key* SimRegistry::FindRoot(HKey root) const {
    if (root == kHkeyCurrentUser) {
        return currentUser_.get();
    }
    return root == kHkeyLocalMachine ? localMachine_.get() : nullptr;
}

bool SimRegistry::WriteProtected(HKey root) const {
    return root == kHkeyCurrentUser ? currentUserProtected_ : localMachineProtected_;
}

bool SimRegistry::Resolve(HKey key, std::string_view subKey, Opened& target) const {
    if (FindRoot(key) != nullptr) {
        target.root = key;
        target.path.clear();
    } else {
        auto it = handles_.find(key);
        if (it == handles_.end()) {
            return false;
        }
        target = it->second;
    }
    for (auto& part : SplitPath(subKey)) {
        target.path.push_back(std::move(part));
    }
    return true;
}

SimRegistry::Key* SimRegistry::Find(const Opened& target) const {
    Key* key = FindRoot(target.root);
    for (const auto& part : target.path) {
        if (key == nullptr) {
            break;
        }
        key = key->Sub(part);
    }
    return key;
}

HKey SimRegistry::NewHandle(const Opened& target) {
    const HKey handle = ++lastHandle_;
    handles_[handle] = target;
    return handle;
}

bool SimRegistry::Injected(std::string_view function, std::int32_t& code) {
    auto it = failNext_.find(function);
    if (it == failNext_.end()) {
        return false;
    }
    code = it->second;
    failNext_.erase(it);
    return true;
}

std::int32_t SimRegistry::RegOpenKeyA(HKey key, std::string_view subKey, HKey& result) {
    log_.Add("RegOpenKeyA(" + KeyName(key) + ", " + std::string(subKey) + ")");
    std::int32_t code = 0;
    if (Injected("RegOpenKeyA", code)) {
        return code;
    }
    Opened target;
    if (!Resolve(key, subKey, target)) {
        return winerr::kInvalidHandle;
    }
    if (Find(target) == nullptr) {
        return winerr::kFileNotFound;
    }
    result = NewHandle(target);
    return winerr::kSuccess;
}

std::int32_t SimRegistry::RegCreateKeyA(HKey key, std::string_view subKey, HKey& result) {
    log_.Add("RegCreateKeyA(" + KeyName(key) + ", " + std::string(subKey) + ")");
    std::int32_t code = 0;
    if (Injected("RegCreateKeyA", code)) {
        return code;
    }
    Opened target;
    if (!Resolve(key, subKey, target)) {
        return winerr::kInvalidHandle;
    }
    if (WriteProtected(target.root)) {
        return winerr::kAccessDenied;
    }
    Opened base = target;
    base.path.resize(base.path.size() - SplitPath(subKey).size());
    Key* node = Find(base);
    if (node == nullptr) {
        return kKeyDeleted;
    }
    for (std::size_t i = base.path.size(); i < target.path.size(); ++i) {
        node = node->SubOrCreate(target.path[i]);
    }
    result = NewHandle(target);
    return winerr::kSuccess;
}

std::int32_t SimRegistry::RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type,
                                           std::uint8_t* data, std::uint32_t* dataSize) {
    log_.Add("RegQueryValueExA(" + std::string(name) + ")");
    std::int32_t code = 0;
    if (Injected("RegQueryValueExA", code)) {
        return code;
    }
    Opened target;
    if (!Resolve(key, {}, target)) {
        return winerr::kInvalidHandle;
    }
    const Key* node = Find(target);
    if (node == nullptr) {
        return kKeyDeleted;
    }
    auto it = node->values.find(Lower(name));
    if (it == node->values.end()) {
        return winerr::kFileNotFound;
    }
    const Value& value = it->second.value;
    const auto length = static_cast<std::uint32_t>(value.bytes.size());
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
        std::memcpy(data, value.bytes.data(), length);
    }
    if (dataSize != nullptr) {
        *dataSize = length;
    }
    return winerr::kSuccess;
}

std::int32_t SimRegistry::RegSetValueExA(HKey key, std::string_view name, std::uint32_t type,
                                         const std::uint8_t* data, std::uint32_t size) {
    log_.Add("RegSetValueExA(" + std::string(name) + ", " + std::to_string(type) + ", " +
             std::to_string(size) + ")");
    std::int32_t code = 0;
    if (Injected("RegSetValueExA", code)) {
        return code;
    }
    Opened target;
    if (!Resolve(key, {}, target)) {
        return winerr::kInvalidHandle;
    }
    if (WriteProtected(target.root)) {
        return winerr::kAccessDenied;
    }
    Key* node = Find(target);
    if (node == nullptr) {
        return kKeyDeleted;
    }
    auto& named = node->values[Lower(name)];
    named.name = std::string(name);
    named.value.type = type;
    named.value.bytes.assign(data, data == nullptr ? data : data + size);
    return winerr::kSuccess;
}

std::int32_t SimRegistry::RegDeleteKeyA(HKey key, std::string_view subKey) {
    log_.Add("RegDeleteKeyA(" + KeyName(key) + ", " + std::string(subKey) + ")");
    std::int32_t code = 0;
    if (Injected("RegDeleteKeyA", code)) {
        return code;
    }
    Opened target;
    if (!Resolve(key, subKey, target)) {
        return winerr::kInvalidHandle;
    }
    if (WriteProtected(target.root) || target.path.empty()) {
        return winerr::kAccessDenied;
    }
    const Key* node = Find(target);
    if (node == nullptr) {
        return winerr::kFileNotFound;
    }
    if (!node->subkeys.empty()) {
        return winerr::kAccessDenied;
    }
    Opened parent = target;
    parent.path.pop_back();
    Find(parent)->subkeys.erase(Lower(target.path.back()));
    return winerr::kSuccess;
}

std::int32_t SimRegistry::RegDeleteValueA(HKey key, std::string_view name) {
    log_.Add("RegDeleteValueA(" + std::string(name) + ")");
    std::int32_t code = 0;
    if (Injected("RegDeleteValueA", code)) {
        return code;
    }
    Opened target;
    if (!Resolve(key, {}, target)) {
        return winerr::kInvalidHandle;
    }
    if (WriteProtected(target.root)) {
        return winerr::kAccessDenied;
    }
    Key* node = Find(target);
    if (node == nullptr) {
        return kKeyDeleted;
    }
    return node->values.erase(Lower(name)) == 1 ? winerr::kSuccess : winerr::kFileNotFound;
}

std::int32_t SimRegistry::RegCloseKey(HKey key) {
    log_.Add("RegCloseKey");
    std::int32_t code = 0;
    if (Injected("RegCloseKey", code)) {
        return code;
    }
    if (FindRoot(key) != nullptr) {
        return winerr::kSuccess;  // predefined roots need no closing
    }
    return handles_.erase(key) == 1 ? winerr::kSuccess : winerr::kInvalidHandle;
}

void SimRegistry::SetValue(HKey root, std::string_view path, std::string_view name,
                           std::uint32_t type, std::vector<std::uint8_t> bytes) {
    Key* node = FindRoot(root);
    if (node == nullptr) {
        return;
    }
    for (const auto& part : SplitPath(path)) {
        node = node->SubOrCreate(part);
    }
    auto& named = node->values[Lower(name)];
    named.name = std::string(name);
    named.value = Value{type, std::move(bytes)};
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
    Key* node = FindRoot(root);
    for (const auto& part : SplitPath(path)) {
        if (node == nullptr) {
            return;
        }
        node = node->SubOrCreate(part);
    }
}

std::optional<SimRegistry::Value> SimRegistry::GetValue(HKey root, std::string_view path,
                                                        std::string_view name) const {
    const Key* node = Find(Opened{root, SplitPath(path)});
    if (node == nullptr) {
        return std::nullopt;
    }
    auto it = node->values.find(Lower(name));
    if (it == node->values.end()) {
        return std::nullopt;
    }
    return it->second.value;
}

bool SimRegistry::KeyExists(HKey root, std::string_view path) const {
    return Find(Opened{root, SplitPath(path)}) != nullptr;
}

std::vector<std::string> SimRegistry::SubkeyNames(HKey root, std::string_view path) const {
    std::vector<std::string> names;
    if (const Key* node = Find(Opened{root, SplitPath(path)})) {
        for (const auto& [lower, child] : node->subkeys) {
            names.push_back(child.name);
        }
    }
    return names;
}

std::vector<std::string> SimRegistry::ValueNames(HKey root, std::string_view path) const {
    std::vector<std::string> names;
    if (const Key* node = Find(Opened{root, SplitPath(path)})) {
        for (const auto& [lower, named] : node->values) {
            names.push_back(named.name);
        }
    }
    return names;
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
