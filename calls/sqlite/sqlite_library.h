#pragma once
#include "platform/shared_library.h"

#include <sqlite3.h>

#include <memory>
#include <string>
#include <utility>

namespace zumi {

// libsqlite3, loaded only for the moment the call log is read or written.
// Writes come a unit apart; between them Zumi keeps no megabyte of database
// code resident beside a meter that needs none of it.
class SqliteLibrary {
public:
    // nullptr, with the reason in German in `problem`, when it can't be loaded.
    static std::unique_ptr<SqliteLibrary> load(std::string& problem);
    SqliteLibrary(const SqliteLibrary&) = delete;
    SqliteLibrary& operator=(const SqliteLibrary&) = delete;

    decltype(&::sqlite3_open_v2) open_v2 = nullptr;
    decltype(&::sqlite3_close) close = nullptr;
    decltype(&::sqlite3_errmsg) errmsg = nullptr;
    decltype(&::sqlite3_busy_timeout) busy_timeout = nullptr;
    decltype(&::sqlite3_exec) exec = nullptr;
    decltype(&::sqlite3_prepare_v2) prepare_v2 = nullptr;
    decltype(&::sqlite3_finalize) finalize = nullptr;
    decltype(&::sqlite3_bind_text) bind_text = nullptr;
    decltype(&::sqlite3_bind_null) bind_null = nullptr;
    decltype(&::sqlite3_bind_int64) bind_int64 = nullptr;
    decltype(&::sqlite3_step) step = nullptr;
    decltype(&::sqlite3_column_text) column_text = nullptr;
    decltype(&::sqlite3_column_int64) column_int64 = nullptr;
    decltype(&::sqlite3_last_insert_rowid) last_insert_rowid = nullptr;

private:
    explicit SqliteLibrary(std::unique_ptr<SharedLibrary> library)
        : library_(std::move(library))
    {
    }
    std::unique_ptr<SharedLibrary> library_;
};

} // namespace zumi
