#include "platform/shared_library.h"

#include <dlfcn.h>

namespace zumi {

std::string SharedLibrary::fileName(std::string_view name, int interfaceVersion)
{
    return "lib" + std::string(name) + ".so." + std::to_string(interfaceVersion);
}

std::unique_ptr<SharedLibrary> SharedLibrary::load(const std::string& fileName, std::string& why)
{
    void* handle = ::dlopen(fileName.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle) {
        const char* error = ::dlerror();
        why = error ? error : "";
        return nullptr;
    }
    return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary()
{
    ::dlclose(handle_);
}

SharedLibrary::Symbol SharedLibrary::symbol(const char* name) const
{
    return reinterpret_cast<Symbol>(::dlsym(handle_, name));
}

} // namespace zumi
