#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/common/DocumentRegistry.h"
#include "platform/sim/SimLog.h"

namespace ww::platform {

// The registry's two roots, HKCU and HKLM, as documents kept in memory,
// under the same rules as the store on disk. Every call is logged; a test
// can make the next call of a function fail and can refuse writes to a root.
class SimRegistry final : public DocumentRegistry {
  public:
    struct Value {
        std::uint32_t type = regtype::kNone;
        std::vector<std::uint8_t> bytes;
        bool operator==(const Value&) const = default;
    };

    explicit SimRegistry(SimLog& log) : log_(log) {}

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

    // An ordinary user under HKLM: creating keys, setting and deleting give
    // kAccessDenied under `root`; reading still works.
    void SetWriteProtected(HKey root, bool protectedRoot);

    // The next call of the function named (e.g. "RegSetValueExA") returns
    // `code` and does nothing else.
    void FailNext(std::string_view function, std::int32_t code);

  protected:
    std::int32_t Load(HKey root, RegView& view) override;
    std::int32_t Write(HKey root, const RegView& view, const RegEdit& edit) override;

  private:
    // Logs `call`; true with `code` when a failure was set for `function`.
    bool Intercepted(const std::string& call, std::string_view function, std::int32_t& code);
    // Whether writes through `key` meet a protected root.
    bool Refused(HKey key) const;
    const RegDocument* Document(HKey root) const;
    RegDocument* Document(HKey root);

    SimLog& log_;
    RegDocument currentUser_;
    RegDocument localMachine_;
    bool currentUserProtected_ = false;
    bool localMachineProtected_ = false;
    std::map<std::string, std::int32_t, std::less<>> failNext_;
};

}  // namespace ww::platform
