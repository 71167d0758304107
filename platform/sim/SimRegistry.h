#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports/Registry.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// An in-memory registry with the two roots HKCU and HKLM. Key and value names
// compare case-insensitively, as on Windows, and keep the spelling they were
// made with. Every RegOpenKeyA / RegCreateKeyA hands out a fresh handle that
// stays counted until RegCloseKey, so tests can prove no key is left open.
class SimRegistry : public Registry {
  public:
    struct Value {
        std::uint32_t type = regtype::kNone;
        std::vector<std::uint8_t> bytes;
        bool operator==(const Value&) const = default;
    };

    explicit SimRegistry(SimLog& log);
    ~SimRegistry() override;
    SimRegistry(const SimRegistry&) = delete;
    SimRegistry& operator=(const SimRegistry&) = delete;

    std::int32_t RegOpenKeyA(HKey key, std::string_view subKey, HKey& result) override;
    std::int32_t RegCreateKeyA(HKey key, std::string_view subKey, HKey& result) override;
    std::int32_t RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* dataSize) override;
    std::int32_t RegSetValueExA(HKey key, std::string_view name, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t size) override;
    std::int32_t RegDeleteKeyA(HKey key, std::string_view subKey) override;
    std::int32_t RegDeleteValueA(HKey key, std::string_view name) override;
    std::int32_t RegCloseKey(HKey key) override;

    // --- control (paths relative to a root, components separated by "\") ---
    void SetValue(HKey root, std::string_view path, std::string_view name, std::uint32_t type,
                  std::vector<std::uint8_t> bytes);
    // REG_SZ with the text's bytes and no NUL, as the program writes it.
    void SetString(HKey root, std::string_view path, std::string_view name, std::string_view text);
    void SetDword(HKey root, std::string_view path, std::string_view name, std::uint32_t value);
    void CreateKey(HKey root, std::string_view path);
    std::optional<Value> GetValue(HKey root, std::string_view path, std::string_view name) const;
    bool KeyExists(HKey root, std::string_view path) const;
    // Names of a key's subkeys and values, in case-insensitive order.
    std::vector<std::string> SubkeyNames(HKey root, std::string_view path) const;
    std::vector<std::string> ValueNames(HKey root, std::string_view path) const;

    // Handles opened and not yet closed.
    std::size_t OpenKeyCount() const { return handles_.size(); }

    // An ordinary user under HKLM: creating keys, setting and deleting give
    // kAccessDenied under `root`; reading still works.
    void SetWriteProtected(HKey root, bool protectedRoot);

    // The next call of the function named (e.g. "RegSetValueExA") returns
    // `code` and does nothing else.
    void FailNext(std::string_view function, std::int32_t code);

  private:
    struct Key;
    struct Opened {
        HKey root = 0;
        std::vector<std::string> path;
    };

    bool Injected(std::string_view function, std::int32_t& code);
    // The root and full path that `key` + `subKey` names; false for a bad handle.
    bool Resolve(HKey key, std::string_view subKey, Opened& target) const;
    Key* Find(const Opened& target) const;
    Key* FindRoot(HKey root) const;
    bool WriteProtected(HKey root) const;
    std::string KeyName(HKey key) const;
    HKey NewHandle(const Opened& target);

    SimLog& log_;
    std::unique_ptr<Key> currentUser_;
    std::unique_ptr<Key> localMachine_;
    std::map<HKey, Opened> handles_;
    HKey lastHandle_ = 0x1000;
    bool currentUserProtected_ = false;
    bool localMachineProtected_ = false;
    std::map<std::string, std::int32_t, std::less<>> failNext_;
};

}  // namespace ww::platform
