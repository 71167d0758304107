#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ports/Registry.h"

namespace ww::platform {

// What the program relies on from every Registry backend, run in each
// backend's own test binary, named so that "-R Registry" picks it up:
//   INSTANTIATE_TYPED_TEST_SUITE_P(SimRegistry, RegistryContract, SimBackend);
// A backend type is default-constructible and owns a registry in which the
// key HKEY_CURRENT_USER\<TestKey()> starts out empty and is the test's own:
//   Registry& registry();
//   std::size_t OpenKeyCount();  // keys opened and not yet closed
//   std::string TestKey();
template <typename Backend>
class RegistryContract : public ::testing::Test {
  protected:
    using Bytes = std::vector<std::uint8_t>;
    struct Read {
        std::int32_t result = -1;
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        Bytes data;  // the buffer's first `size` bytes, when they were filled
    };

    void TearDown() override { EXPECT_EQ(backend_.OpenKeyCount(), 0u); }

    Registry& reg() { return backend_.registry(); }
    std::string Path(std::string_view below = {}) {
        return backend_.TestKey() + std::string(below);
    }

    // Creates the key and sets the value, as the program's writers do.
    std::int32_t Set(const std::string& path, std::string_view name, std::uint32_t type,
                     const Bytes& data) {
        HKey key = 0;
        std::int32_t result = reg().RegCreateKeyA(kHkeyCurrentUser, path, key);
        if (result == winerr::kSuccess) {
            result = reg().RegSetValueExA(key, name, type, data.data(),
                                          static_cast<std::uint32_t>(data.size()));
            reg().RegCloseKey(key);
        }
        return result;
    }

    // Opens the key, queries the value into a buffer of `capacity` bytes and closes.
    Read Get(const std::string& path, std::string_view name, std::uint32_t capacity = 1024) {
        Read read;
        HKey key = 0;
        read.result = reg().RegOpenKeyA(kHkeyCurrentUser, path, key);
        if (read.result != winerr::kSuccess) {
            return read;
        }
        Bytes buffer(capacity);
        read.size = capacity;
        read.result = reg().RegQueryValueExA(key, name, &read.type, buffer.data(), &read.size);
        reg().RegCloseKey(key);
        if (read.result == winerr::kSuccess) {
            read.data.assign(buffer.data(), buffer.data() + read.size);
        }
        return read;
    }

    Backend backend_;
};

TYPED_TEST_SUITE_P(RegistryContract);

TYPED_TEST_P(RegistryContract, OpeningAMissingKeyFailsAndCreatingMakesTheWholePath) {
    Registry& reg = this->reg();
    HKey key = 0;
    EXPECT_EQ(reg.RegOpenKeyA(kHkeyCurrentUser, this->Path("\\Wakewatch\\Settings"), key),
              winerr::kFileNotFound);
    ASSERT_EQ(reg.RegCreateKeyA(kHkeyCurrentUser, this->Path("\\Wakewatch\\Settings"), key),
              winerr::kSuccess);
    HKey parent = 0;
    ASSERT_EQ(reg.RegOpenKeyA(kHkeyCurrentUser, this->Path("\\WAKEWATCH"), parent),
              winerr::kSuccess);
    HKey again = 0;
    ASSERT_EQ(reg.RegOpenKeyA(parent, "settings", again), winerr::kSuccess);
    EXPECT_NE(again, key);  // every open is its own handle
    HKey created = 0;
    ASSERT_EQ(reg.RegCreateKeyA(parent, "Settings\\Deeper", created), winerr::kSuccess);
    EXPECT_EQ(this->backend_.OpenKeyCount(), 4u);
    HKey deeper = 0;
    ASSERT_EQ(reg.RegOpenKeyA(again, "DEEPER", deeper), winerr::kSuccess);

    for (const HKey opened : {key, parent, again, created, deeper}) {
        EXPECT_EQ(reg.RegCloseKey(opened), winerr::kSuccess);
    }
    EXPECT_EQ(reg.RegCloseKey(again), winerr::kInvalidHandle);
    EXPECT_EQ(reg.RegCloseKey(kHkeyCurrentUser), winerr::kSuccess);  // roots need no closing
}

TYPED_TEST_P(RegistryContract, QueryReportsTypeAndLengthAndRefusesASmallBuffer) {
    struct Case {
        std::size_t stored;
        std::uint32_t buffer;
        std::int32_t result;
    };
    const Case cases[] = {
        {0, 1024, winerr::kSuccess},    {5, 4, winerr::kMoreData},       {5, 8, winerr::kSuccess},
        {1024, 1024, winerr::kSuccess}, {1025, 1024, winerr::kMoreData},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        typename TestFixture::Bytes stored(c.stored);
        for (std::size_t i = 0; i < stored.size(); ++i) {
            stored[i] = static_cast<std::uint8_t>('a' + i % 26);
        }
        ASSERT_EQ(this->Set(this->Path(), "Big", regtype::kBinary, stored), winerr::kSuccess);
        const auto read = this->Get(this->Path(), "big", c.buffer);
        EXPECT_EQ(read.result, c.result);
        EXPECT_EQ(read.type, regtype::kBinary);
        EXPECT_EQ(read.size, c.stored);
        if (c.result == winerr::kSuccess) {
            EXPECT_EQ(read.data, stored);
        }
    }

    HKey key = 0;
    ASSERT_EQ(this->reg().RegOpenKeyA(kHkeyCurrentUser, this->Path(), key), winerr::kSuccess);
    std::uint32_t type = 0;
    std::uint32_t size = 0;  // no buffer: only the type and the length
    EXPECT_EQ(this->reg().RegQueryValueExA(key, "Big", &type, nullptr, &size), winerr::kSuccess);
    EXPECT_EQ(type, regtype::kBinary);
    EXPECT_EQ(size, 1025u);
    std::uint8_t data[4] = {};
    size = sizeof data;
    EXPECT_EQ(this->reg().RegQueryValueExA(key, "Missing", &type, data, &size),
              winerr::kFileNotFound);
    this->reg().RegCloseKey(key);
}

TYPED_TEST_P(RegistryContract, NamesIgnoreCaseAndASetReplacesTheValue) {
    ASSERT_EQ(this->Set(this->Path("\\Settings"), "HotCorners", regtype::kSz, {'x'}),
              winerr::kSuccess);
    ASSERT_EQ(this->Set(this->Path("\\SETTINGS"), "HOTCORNERS", regtype::kDword, {1, 0, 0, 0}),
              winerr::kSuccess);
    const auto read = this->Get(this->Path("\\settings"), "hotcorners");
    EXPECT_EQ(read.result, winerr::kSuccess);
    EXPECT_EQ(read.type, regtype::kDword);
    EXPECT_EQ(read.data, (typename TestFixture::Bytes{1, 0, 0, 0}));

    HKey key = 0;
    ASSERT_EQ(this->reg().RegOpenKeyA(kHkeyCurrentUser, this->Path("\\Settings"), key),
              winerr::kSuccess);
    EXPECT_EQ(this->reg().RegDeleteValueA(key, "HotCorners"), winerr::kSuccess);
    EXPECT_EQ(this->reg().RegDeleteValueA(key, "HotCorners"), winerr::kFileNotFound);
    this->reg().RegCloseKey(key);
    EXPECT_EQ(this->Get(this->Path("\\Settings"), "HotCorners").result, winerr::kFileNotFound);
}

TYPED_TEST_P(RegistryContract, AKeyWithSubkeysIsNotDeletedAndItsParentOutlivesIt) {
    Registry& reg = this->reg();
    HKey test = 0;
    ASSERT_EQ(reg.RegCreateKeyA(kHkeyCurrentUser, this->Path(), test), winerr::kSuccess);
    HKey sub = 0;
    ASSERT_EQ(reg.RegCreateKeyA(test, "Old\\Sub", sub), winerr::kSuccess);
    reg.RegCloseKey(sub);

    EXPECT_EQ(reg.RegDeleteKeyA(kHkeyCurrentUser, this->Path("\\Old")), winerr::kAccessDenied);
    EXPECT_EQ(reg.RegDeleteKeyA(test, "old\\sub"), winerr::kSuccess);
    EXPECT_EQ(reg.RegDeleteKeyA(kHkeyCurrentUser, this->Path("\\Old")), winerr::kSuccess);
    EXPECT_EQ(reg.RegDeleteKeyA(test, "Old"), winerr::kFileNotFound);
    HKey gone = 0;
    EXPECT_EQ(reg.RegOpenKeyA(test, "Old", gone), winerr::kFileNotFound);
    reg.RegCloseKey(test);
    ASSERT_EQ(reg.RegOpenKeyA(kHkeyCurrentUser, this->Path(), test), winerr::kSuccess);
    reg.RegCloseKey(test);
}

TYPED_TEST_P(RegistryContract, AHandleOfADeletedKeyAnswersKeyDeleted) {
    Registry& reg = this->reg();
    ASSERT_EQ(this->Set(this->Path("\\Gone"), "Value", regtype::kDword, {1, 0, 0, 0}),
              winerr::kSuccess);
    HKey key = 0;
    ASSERT_EQ(reg.RegOpenKeyA(kHkeyCurrentUser, this->Path("\\Gone"), key), winerr::kSuccess);
    ASSERT_EQ(reg.RegDeleteKeyA(kHkeyCurrentUser, this->Path("\\Gone")), winerr::kSuccess);

    std::uint8_t data[4] = {};
    std::uint32_t size = sizeof data;
    EXPECT_EQ(reg.RegQueryValueExA(key, "Value", nullptr, data, &size), winerr::kKeyDeleted);
    EXPECT_EQ(reg.RegSetValueExA(key, "Value", regtype::kDword, data, 4), winerr::kKeyDeleted);
    EXPECT_EQ(reg.RegDeleteValueA(key, "Value"), winerr::kKeyDeleted);
    HKey child = 0;
    EXPECT_EQ(reg.RegCreateKeyA(key, "Child", child), winerr::kKeyDeleted);
    EXPECT_EQ(reg.RegCloseKey(key), winerr::kSuccess);
    EXPECT_EQ(reg.RegOpenKeyA(kHkeyCurrentUser, this->Path("\\Gone"), key), winerr::kFileNotFound);
}

TYPED_TEST_P(RegistryContract, AClosedHandleIsRefused) {
    Registry& reg = this->reg();
    HKey key = 0;
    ASSERT_EQ(reg.RegCreateKeyA(kHkeyCurrentUser, this->Path(), key), winerr::kSuccess);
    ASSERT_EQ(reg.RegCloseKey(key), winerr::kSuccess);
    std::uint8_t data[4] = {};
    std::uint32_t size = sizeof data;
    EXPECT_EQ(reg.RegQueryValueExA(key, "Value", nullptr, data, &size), winerr::kInvalidHandle);
    EXPECT_EQ(reg.RegSetValueExA(key, "Value", regtype::kDword, data, 4), winerr::kInvalidHandle);
    EXPECT_EQ(reg.RegDeleteValueA(key, "Value"), winerr::kInvalidHandle);
    HKey sub = 0;
    EXPECT_EQ(reg.RegOpenKeyA(key, "Sub", sub), winerr::kInvalidHandle);
    EXPECT_EQ(reg.RegCreateKeyA(key, "Sub", sub), winerr::kInvalidHandle);
    EXPECT_EQ(reg.RegDeleteKeyA(key, "Sub"), winerr::kInvalidHandle);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, OpeningAMissingKeyFailsAndCreatingMakesTheWholePath,
                            QueryReportsTypeAndLengthAndRefusesASmallBuffer,
                            NamesIgnoreCaseAndASetReplacesTheValue,
                            AKeyWithSubkeysIsNotDeletedAndItsParentOutlivesIt,
                            AHandleOfADeletedKeyAnswersKeyDeleted, AClosedHandleIsRefused);

}  // namespace ww::platform
