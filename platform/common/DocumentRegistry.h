#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/common/RegDocument.h"
#include "platform/ports/Registry.h"

namespace ww::platform {

// One change a DocumentRegistry has admitted, for its store to make.
struct RegEdit {
    enum class Kind { kCreateKey, kSetValue, kDeleteKey, kDeleteValue };
    Kind kind = Kind::kCreateKey;
    std::string path;  // normalized, below the root
    RegValue value;    // kSetValue: the value; kDeleteValue: only its name

    // Makes the change in one document: kAccessDenied for a key that has
    // subkeys there, kFileNotFound for a key or value it does not hold.
    std::int32_t ApplyTo(RegDocument& document) const;
};

// The documents a read of one root consults, in order: a value is taken
// from the first that holds it, a key exists when any of them holds it.
using RegView = std::vector<const RegDocument*>;

// The registry port over documents of keys and values. It keeps the handle
// table and the rules callers rely on, whatever holds the documents:
// - the roots are HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE; a handle names
//   its root and path, and path components ignore empty ones ("a\\\\b\\");
// - key and value names compare without regard to ASCII case;
// - opening a missing key fails, creating makes every missing component,
//   and each open or create is a handle of its own until it is closed;
// - a handle whose key was deleted answers ERROR_KEY_DELETED;
// - a key with subkeys, a root and the fixed key are not deleted.
// Subclasses say where the documents of a root come from and how a change
// reaches them; they may take over single values (see the protected part).
class DocumentRegistry : public Registry {
  public:
    std::int32_t RegOpenKeyA(HKey key, std::string_view subKey, HKey& result) override;
    std::int32_t RegCreateKeyA(HKey key, std::string_view subKey, HKey& result) override;
    std::int32_t RegQueryValueExA(HKey key, std::string_view name, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* dataSize) override;
    std::int32_t RegSetValueExA(HKey key, std::string_view name, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t size) override;
    std::int32_t RegDeleteKeyA(HKey key, std::string_view subKey) override;
    std::int32_t RegDeleteValueA(HKey key, std::string_view name) override;
    std::int32_t RegCloseKey(HKey key) override;

    // Keys opened and not yet closed.
    std::size_t OpenKeyCount() const { return handles_.size(); }

  protected:
    // `fixedKey` and every key above it exist in both roots whatever the
    // documents hold, and cannot be deleted (the roots themselves never can).
    explicit DocumentRegistry(std::string_view fixedKey = {});

    struct Opened {
        HKey root = 0;
        std::string path;  // normalized, below the root
    };

    // The root and path that `key` + `subKey` name; false for a bad handle.
    bool Resolve(HKey key, std::string_view subKey, Opened& target) const;

    // Answers a query with `value`: type, length, and the data when it fits.
    static std::int32_t Answer(const RegValue& value, std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* dataSize);

    // The documents of `root` as they are now, valid until the next Load.
    virtual std::int32_t Load(HKey root, RegView& view) = 0;
    // Makes `edit`, checked against `view` from this call's Load.
    virtual std::int32_t Write(HKey root, const RegView& view, const RegEdit& edit) = 0;

  private:
    bool KeyExists(const RegView& view, std::string_view path) const;
    bool HasSubkeys(const RegView& view, std::string_view path) const;
    // Resolves and loads; kSuccess, or the error the call answers with.
    std::int32_t Prepare(HKey key, std::string_view subKey, Opened& target, RegView& view);
    // As Prepare for a call on the values of `key`, which must still exist.
    std::int32_t PrepareValue(HKey key, Opened& target, RegView& view);

    std::string fixedKey_;
    std::map<HKey, Opened> handles_;
    HKey lastHandle_ = 0x1000;
};

}  // namespace ww::platform
