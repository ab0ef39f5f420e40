#include "app/win32/session_mutex.h"
#include "app/desktop.h"

#include <windows.h>
#include <sddl.h>

#include <memory>
#include <utility>
#include <vector>

namespace zumi {

SessionMutex::SessionMutex(std::wstring name)
    : name_(std::move(name))
{
    // Not inheritable: a dialer started from the menu must not keep the rule
    // after this program has ended.
    handle_ = ::CreateMutexW(nullptr, FALSE, name_.c_str());
    const DWORD error = ::GetLastError();
    if (handle_ && error == ERROR_ALREADY_EXISTS) {
        state_ = State::RunningElsewhere;
    } else if (handle_) {
        state_ = State::Acquired;
        return;
    }
    // Made by another user, who shut this one out: refused, as is anything
    // else that fails here.
    if (handle_)
        ::CloseHandle(handle_);
    handle_ = nullptr;
}

SessionMutex::~SessionMutex()
{
    if (handle_)
        ::CloseHandle(handle_);
}

namespace {

std::wstring userSid()
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    std::wstring sid;
    wchar_t* text = nullptr;
    if (size && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)
        && ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
        sid = text;
        ::LocalFree(text);
    }
    ::CloseHandle(token);
    return sid;
}

std::wstring userName()
{
    wchar_t name[256 + 1] = {};
    DWORD size = 256 + 1;
    return ::GetUserNameW(name, &size) ? name : L"";
}

} // namespace

std::wstring sessionMutexName()
{
    std::wstring user = userSid();
    if (user.empty())
        user = userName();
    // A backslash would name a namespace of its own.
    for (wchar_t& c : user)
        if (c == L'\\')
            c = L'_';
    return L"Local\\Zumi-" + user;
}

std::unique_ptr<SingleInstance> claimSingleInstance()
{
    return std::make_unique<SessionMutex>(sessionMutexName());
}

} // namespace zumi
