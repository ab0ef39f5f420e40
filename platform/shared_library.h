#pragma once
#include <memory>
#include <string>
#include <string_view>

namespace zumi {

// A shared library loaded at run time, unloaded again with this object.
class SharedLibrary {
public:
    // Any function's address; the caller casts it to the function's real type.
    using Symbol = void (*)();

    // The file name the system's loader knows a library by ("libsqlite3.so.0"
    // for sqlite3 of interface version 0).
    static std::string fileName(std::string_view name, int interfaceVersion);
    // nullptr, with the loader's reason in `why` (empty when it gives none), when it can't be loaded.
    static std::unique_ptr<SharedLibrary> load(const std::string& fileName, std::string& why);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The exported function of that name, nullptr when the library has none.
    Symbol symbol(const char* name) const;

private:
    explicit SharedLibrary(void* handle)
        : handle_(handle)
    {
    }
    void* handle_;
};

} // namespace zumi
