#include "calls/window/win32/csv_export_file.h"

#include "platform/win32/wide_text.h"

#include <utility>

namespace zumi::win32 {

CsvExportFile::CsvExportFile(std::wstring path)
    : path_(std::move(path))
{
}

CsvExportFile::~CsvExportFile()
{
    cancel();
}

bool CsvExportFile::open()
{
    std::wstring folder = path_;
    const auto slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? L"." : folder.substr(0, slash + 1);
    wchar_t temp[MAX_PATH + 1] = {};
    // A fresh name in the same folder, so the move at the end is a rename.
    if (!GetTempFileNameW(folder.c_str(), L"zum", 0, temp)) {
        fail();
        return false;
    }
    temp_ = temp;
    file_ = CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) {
        fail();
        DeleteFileW(temp_.c_str());
        temp_.clear();
        return false;
    }
    return true;
}

void CsvExportFile::write(std::string_view text)
{
    while (why_.empty() && file_ != INVALID_HANDLE_VALUE && !text.empty()) {
        DWORD written = 0;
        const DWORD chunk = text.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(text.size());
        if (!WriteFile(file_, text.data(), chunk, &written, nullptr) || written == 0)
            return fail();
        text.remove_prefix(written);
    }
}

bool CsvExportFile::commit()
{
    if (file_ == INVALID_HANDLE_VALUE)
        return false;
    if (why_.empty() && !FlushFileBuffers(file_))
        fail();
    CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    if (why_.empty() && !MoveFileExW(temp_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail();
    if (!why_.empty()) {
        DeleteFileW(temp_.c_str());
        temp_.clear();
        return false;
    }
    temp_.clear();
    return true;
}

void CsvExportFile::cancel()
{
    if (file_ != INVALID_HANDLE_VALUE)
        CloseHandle(file_);
    file_ = INVALID_HANDLE_VALUE;
    if (!temp_.empty())
        DeleteFileW(temp_.c_str());
    temp_.clear();
}

void CsvExportFile::fail()
{
    if (why_.empty())
        why_ = errorText(GetLastError());
}

} // namespace zumi::win32
