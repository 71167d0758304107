#include "platform/win32/Win32Instance.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/win32/Win32Calls.h"

namespace ww::platform {
namespace {

// Names no other test or program uses, so runs never meet.
std::string UniqueName(const std::string& what) {
    return "WakewatchTest." + what + "." + std::to_string(::GetCurrentProcessId());
}

bool MutexExists(const std::string& name) {
    HANDLE mutex = ::OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
    if (mutex == nullptr) {
        return false;
    }
    ::CloseHandle(mutex);
    return true;
}

TEST(Win32InstanceTest, SecondCreateOfANameFindsTheFirst) {
    Win32Instance instance(UniqueName("unused"));
    for (const std::string& name :
         {UniqueName("Local"), std::string("Global\\") + UniqueName("Global")}) {
        SCOPED_TRACE(name);
        const Handle first = instance.CreateMutexA(false, name);
        ASSERT_NE(first, 0u);
        EXPECT_NE(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
        const Handle second = instance.CreateMutexA(false, name);
        ASSERT_NE(second, 0u);
        EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
        EXPECT_NE(first, second);
        EXPECT_TRUE(MutexExists(name));
    }
}

TEST(Win32InstanceTest, MutexesLiveAsLongAsTheInstance) {
    const std::string name = UniqueName("Lifetime");
    auto instance = std::make_unique<Win32Instance>(UniqueName("unused"));
    ASSERT_NE(instance->CreateMutexA(false, name), 0u);
    EXPECT_TRUE(MutexExists(name));
    instance.reset();
    EXPECT_FALSE(MutexExists(name));
}

TEST(Win32InstanceTest, BadNameFails) {
    Win32Instance instance(UniqueName("unused"));
    // A backslash other than a namespace's is refused by the object manager.
    EXPECT_EQ(instance.CreateMutexA(false, "No\\Such\\Namespace"), 0u);
}

TEST(Win32InstanceTest, FirstAskerBecomesTheInstance) {
    const std::string marker = UniqueName("Instance");
    auto first = std::make_unique<Win32Instance>(marker);
    EXPECT_FALSE(first->PrevInstance());
    EXPECT_FALSE(first->PrevInstance());  // it is the instance, not a previous one
    {
        Win32Instance second(marker);
        EXPECT_TRUE(second.PrevInstance());
        EXPECT_TRUE(second.PrevInstance());
    }
    first.reset();
    Win32Instance third(marker);
    EXPECT_FALSE(third.PrevInstance());
}

TEST(Win32InstanceTest, DefaultMarkerIsAPlainNamePerUser) {
    const std::string marker = Win32Instance::DefaultMarker();
    EXPECT_TRUE(marker.starts_with("Wakewatch.Instance."));
    EXPECT_GT(marker.size(), std::string("Wakewatch.Instance.").size());
    EXPECT_EQ(marker.find('\\'), std::string::npos);
}

}  // namespace
}  // namespace ww::platform
