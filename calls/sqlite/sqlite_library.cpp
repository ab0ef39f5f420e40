#include "calls/sqlite/sqlite_library.h"

#include <utility>

namespace zumi {
namespace {

template <typename Function>
bool resolve(const SharedLibrary& library, const char* name, Function*& function)
{
    function = reinterpret_cast<Function*>(library.symbol(name));
    return function != nullptr;
}

} // namespace

std::unique_ptr<SqliteLibrary> SqliteLibrary::load(std::string& problem)
{
    const std::string fileName = SharedLibrary::fileName("sqlite3", 0);
    std::string why;
    auto library = SharedLibrary::load(fileName, why);
    if (!library) {
        problem = "Die SQLite-Bibliothek (" + fileName + ") l\xC3\xA4sst sich nicht laden: "
            + (why.empty() ? "unbekannter Fehler" : why);
        return nullptr;
    }
    std::unique_ptr<SqliteLibrary> lib(new SqliteLibrary(std::move(library)));
    const SharedLibrary& handle = *lib->library_;
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
        problem = "Die SQLite-Bibliothek (" + fileName + ") ist unvollst\xC3\xA4ndig";
        return nullptr;
    }
    return lib;
}

} // namespace zumi
