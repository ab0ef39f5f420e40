// The named mutex of the user's session, under wine.
#include "app/win32/session_mutex.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

namespace zumi {
namespace {

using State = SingleInstance::State;

TEST(SessionMutex, OneHolderAtATimeAndNoneThatShutsTheUserOut)
{
    EXPECT_EQ(sessionMutexName().rfind(L"Local\\Zumi-S-1-5-", 0), 0u);
    const std::wstring name = L"Local\\Zumi-test-" + std::to_wstring(::GetCurrentProcessId());
    std::optional<SessionMutex> first(name);
    EXPECT_EQ(first->state(), State::Acquired);
    EXPECT_EQ(SessionMutex(name).state(), State::RunningElsewhere);
    first.reset();
    EXPECT_EQ(SessionMutex(name).state(), State::Acquired);

    // One nobody may open, as another user could make it first.
    SECURITY_DESCRIPTOR closed;
    ACL empty;
    ::InitializeSecurityDescriptor(&closed, SECURITY_DESCRIPTOR_REVISION);
    ::InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    ::SetSecurityDescriptorDacl(&closed, TRUE, &empty, FALSE);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &closed, FALSE};
    const HANDLE stranger = ::CreateMutexW(&attributes, FALSE, (name + L"-taken").c_str());
    EXPECT_EQ(SessionMutex(name + L"-taken").state(), State::Unsafe);
    ::CloseHandle(stranger);
}

} // namespace
} // namespace zumi
