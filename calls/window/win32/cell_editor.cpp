#include "calls/window/win32/cell_editor.h"

#include "calls/window/win32/calls_window_resources.h"
#include "platform/win32/wide_text.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace zumi::win32 {

void CellEditor::open(HWND list, int row, int column, const std::string& text, int minimumWidth, HWND owner,
                      UINT doneMessage)
{
    close();
    list_ = list;
    owner_ = owner;
    doneMessage_ = doneMessage;
    ++opened_;
    ListView_EnsureVisible(list, row, FALSE);
    RECT cell{};
    ListView_GetSubItemRect(list, row, column, LVIR_BOUNDS, &cell);
    edit_ = CreateWindowExW(0, L"EDIT", wideFromUtf8(text).c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                            cell.left, cell.top, std::max<LONG>(cell.right - cell.left, minimumWidth),
                            cell.bottom - cell.top, list,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CALLS_PRICE_EDIT)),
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(list, GWLP_HINSTANCE)), nullptr);
    SendMessageW(edit_, WM_SETFONT, SendMessageW(list, WM_GETFONT, 0, 0), FALSE);
    SetWindowSubclass(edit_, &CellEditor::editProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(edit_, EM_SETSEL, 0, -1);
    SetFocus(edit_);
}

std::optional<std::string> CellEditor::close()
{
    if (!edit_)
        return std::nullopt;
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit_, text.data(), static_cast<int>(text.size()))));
    const bool focused = GetFocus() == edit_;
    DestroyWindow(std::exchange(edit_, nullptr));
    if (focused)
        SetFocus(list_);
    return utf8FromWide(text);
}

void CellEditor::done(bool keep) const
{
    PostMessageW(owner_, doneMessage_, keep ? 1 : 0, static_cast<LPARAM>(opened_));
}

LRESULT CALLBACK CellEditor::editProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    const auto& editor = *reinterpret_cast<const CellEditor*>(self);
    switch (message) {
    case WM_GETDLGCODE: // Enter and Esc end the typing, not the window
        return DLGC_WANTALLKEYS | DefSubclassProc(edit, message, wParam, lParam);
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            editor.done(wParam == VK_RETURN);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\r' || wParam == 27)
            return 0; // no beep
        break;
    case WM_KILLFOCUS:
        editor.done(true);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, &CellEditor::editProc, 1);
        break;
    default:
        break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

} // namespace zumi::win32
