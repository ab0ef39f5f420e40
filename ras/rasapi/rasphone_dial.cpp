#include "ras/rasapi/rasphone_dial.h"

#include "ras/rasapi/utf16.h"

#include <windows.h>

namespace zumi::rasapi {

std::wstring rasphoneCommandLine(const std::wstring& entryName)
{
    std::wstring line = L"rasphone -t \"" + entryName;
    const std::size_t name = line.size() - entryName.size();
    for (std::size_t i = line.size(); i > name && line[i - 1] == L'\\'; --i)
        line += L'\\';
    return line + L'"';
}

DialResult dialWithRasphone(const std::string& entryName)
{
    if (entryName.find('"') != std::string::npos)
        return {false, DialError::UnquotableName};
    const std::optional<std::wstring> name = toUtf16(entryName);
    if (!name || name->empty() || name->find(L'\0') != std::wstring::npos)
        return {false, DialError::NoSuchEntry};

    std::wstring command = rasphoneCommandLine(*name);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return {true};
    }
    const DWORD error = GetLastError();
    const std::string program = "rasphone.exe";
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return {false, DialError::ProgramMissing, program};
    case ERROR_ACCESS_DENIED:
        return {false, DialError::NotPermitted, program};
    case ERROR_BAD_EXE_FORMAT:
        return {false, DialError::NotExecutable, program};
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_NO_PROC_SLOTS:
        return {false, DialError::NoProcesses};
    default:
        return {false, DialError::StartFailed, program, static_cast<int>(error)};
    }
}

} // namespace zumi::rasapi
