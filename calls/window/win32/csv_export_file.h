#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace zumi::win32 {

// A file written in pieces beside its place and moved there only when whole:
// a failed export leaves an older file as it was. Given up (its piece
// removed) when destroyed before commit().
class CsvExportFile final {
public:
    explicit CsvExportFile(std::wstring path);
    ~CsvExportFile();
    CsvExportFile(const CsvExportFile&) = delete;
    CsvExportFile& operator=(const CsvExportFile&) = delete;

    // False with why() when the file beside cannot be made.
    bool open();
    // A failed write is kept until commit().
    void write(std::string_view text);
    // The file in its place; false with why() when not.
    bool commit();
    void cancel();
    const std::string& why() const { return why_; }

private:
    void fail();

    std::wstring path_, temp_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::string why_;
};

} // namespace zumi::win32
