#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace zumi::win32 {

// Typing into one cell of a report list view: an edit over the cell; Enter
// or leaving it keeps the text, Esc drops it. Its end is posted to the owner
// as `doneMessage` (wParam 1: keep; lParam: which opening), so the edit is
// never destroyed inside one of its own messages. The edit is the list's
// child and goes with it.
class CellEditor final {
public:
    void open(HWND list, int row, int column, const std::string& text, int minimumWidth, HWND owner, UINT doneMessage);
    bool isOpen() const { return edit_ != nullptr; }
    // A done message of the edit open now, not of one closed before it.
    bool isCurrent(LPARAM tag) const { return isOpen() && static_cast<unsigned>(tag) == opened_; }
    HWND window() const { return edit_; }
    // Ends the typing as Enter (keep) or Esc would, by the owner's done message.
    void done(bool keep) const;
    // The edit gone, with what it held; nullopt when none was open.
    std::optional<std::string> close();

private:
    static LRESULT CALLBACK editProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);

    HWND edit_ = nullptr, list_ = nullptr, owner_ = nullptr;
    UINT doneMessage_ = 0;
    unsigned opened_ = 0;
};

} // namespace zumi::win32
