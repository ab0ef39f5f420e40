#include "platform/shared_library.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

namespace zumi {

std::string SharedLibrary::fileName(std::string_view name, int)
{
    // A DLL's name carries no interface version.
    return std::string(name) + ".dll";
}

std::unique_ptr<SharedLibrary> SharedLibrary::load(const std::string& fileName, std::string& why)
{
    // The loader looks in the program's own folder first, where the DLL is shipped.
    HMODULE handle = ::LoadLibraryW(win32::wideFromUtf8(fileName).c_str());
    if (!handle) {
        why = win32::errorText(::GetLastError());
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary()
{
    ::FreeLibrary(static_cast<HMODULE>(handle_));
}

SharedLibrary::Symbol SharedLibrary::symbol(const char* name) const
{
    return reinterpret_cast<Symbol>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

} // namespace zumi
