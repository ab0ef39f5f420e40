#include "calls/sqlite/sqlite_library.h"

#include <dlfcn.h>

namespace zumi {
namespace {

constexpr const char* kSoname = "libsqlite3.so.0";

template <typename Function>
bool resolve(void* handle, const char* name, Function*& function)
{
    function = reinterpret_cast<Function*>(dlsym(handle, name));
    return function != nullptr;
}

} // namespace

std::unique_ptr<SqliteLibrary> SqliteLibrary::load(std::string& problem)
{
    void* handle = dlopen(kSoname, RTLD_LAZY | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        problem = std::string("Die SQLite-Bibliothek (") + kSoname
            + ") l\xC3\xA4sst sich nicht laden: " + (why ? why : "unbekannter Fehler");
        return nullptr;
    }
    std::unique_ptr<SqliteLibrary> lib(new SqliteLibrary(handle));
    if (!(resolve(handle, "sqlite3_open_v2", lib->open_v2) && resolve(handle, "sqlite3_close", lib->close)
          && resolve(handle, "sqlite3_errmsg", lib->errmsg)
          && resolve(handle, "sqlite3_busy_timeout", lib->busy_timeout) && resolve(handle, "sqlite3_exec", lib->exec)
          && resolve(handle, "sqlite3_prepare_v2", lib->prepare_v2)
          && resolve(handle, "sqlite3_finalize", lib->finalize) && resolve(handle, "sqlite3_bind_text", lib->bind_text)
          && resolve(handle, "sqlite3_bind_null", lib->bind_null)
          && resolve(handle, "sqlite3_bind_int64", lib->bind_int64) && resolve(handle, "sqlite3_step", lib->step)
          && resolve(handle, "sqlite3_column_text", lib->column_text)
          && resolve(handle, "sqlite3_column_int64", lib->column_int64)
          && resolve(handle, "sqlite3_last_insert_rowid", lib->last_insert_rowid))) {
        problem = std::string("Die SQLite-Bibliothek (") + kSoname + ") ist unvollst\xC3\xA4ndig";
        return nullptr;
    }
    return lib;
}

SqliteLibrary::~SqliteLibrary()
{
    dlclose(handle_);
}

} // namespace zumi
