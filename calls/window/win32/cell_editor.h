#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace zumi::win32 {

// Typing into one cell of a report list view: an edit over the cell; Enter
// or leaving it keeps the text, Esc drops it. Its end is posted to the owner
// as `doneMessage` (wParam 1: keep), so the edit is never destroyed inside
// one of its own messages. The edit is the list's child and goes with it.
class CellEditor final {
public:
    void open(HWND list, int row, int column, const std::string& text, int minimumWidth, HWND owner, UINT doneMessage);
    bool isOpen() const { return edit_ != nullptr; }
    HWND window() const { return edit_; }
    // The edit gone, with what it held; nullopt when none was open.
    std::optional<std::string> close();

private:
    static LRESULT CALLBACK editProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
    void done(bool keep) const;

    HWND edit_ = nullptr, list_ = nullptr, owner_ = nullptr;
    UINT doneMessage_ = 0;
};

} // namespace zumi::win32
