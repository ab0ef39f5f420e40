// The named mutex of the user's session, under wine.
#include "app/win32/session_mutex.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

namespace zumi {
namespace {

using State = SingleInstance::State;

TEST(SessionMutex, OneHolderAtATimeAndFreeAgainAfter)
{
    const std::wstring name = L"Local\\Zumi-test-" + std::to_wstring(::GetCurrentProcessId());
    std::optional<SessionMutex> first(name);
    EXPECT_EQ(first->state(), State::Acquired);
    EXPECT_EQ(SessionMutex(name).state(), State::RunningElsewhere);
    EXPECT_EQ(first->state(), State::Acquired) << "a refused claim takes nothing from the holder";
    first.reset();
    EXPECT_EQ(SessionMutex(name).state(), State::Acquired);
}

TEST(SessionMutex, ANameOfTheUsersOwnAndNoneThatShutsItOut)
{
    const std::wstring name = sessionMutexName();
    EXPECT_EQ(name.rfind(L"Local\\Zumi-S-1-5-", 0), 0u) << std::string(name.begin(), name.end());
    EXPECT_EQ(name.find(L'\\', 6), std::wstring::npos);

    // One nobody may open, as a stranger could set it up first.
    SECURITY_DESCRIPTOR none;
    ::InitializeSecurityDescriptor(&none, SECURITY_DESCRIPTOR_REVISION);
    ACL empty;
    ::InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    ::SetSecurityDescriptorDacl(&none, TRUE, &empty, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &none, FALSE};
    const std::wstring squatted = L"Local\\Zumi-squatted-" + std::to_wstring(::GetCurrentProcessId());
    const HANDLE stranger = ::CreateMutexW(&attributes, FALSE, squatted.c_str());
    ASSERT_NE(stranger, nullptr);
    EXPECT_EQ(SessionMutex(squatted).state(), State::Unsafe);
    ::CloseHandle(stranger);
}

} // namespace
} // namespace zumi
