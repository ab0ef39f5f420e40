#pragma once
// Drives a modal Win32 dialog from inside its own message loop, and measures its captions.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace zumi::test {

inline std::wstring text(HWND window)
{
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

// This thread's dialogs and message boxes (other test programs share wine's desktop).
inline std::vector<HWND> threadDialogs()
{
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM all) {
            wchar_t kind[16] = {};
            GetClassNameW(w, kind, 16);
            if (lstrcmpW(kind, L"#32770") == 0)
                reinterpret_cast<std::vector<HWND>*>(all)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

inline HWND threadWindow(const std::wstring& title)
{
    for (HWND w : threadDialogs()) {
        if (text(w) == title)
            return w;
    }
    return nullptr;
}

// Runs one step per timer tick in whatever modal loop the thread is in: a step that opens a
// box finds the next step running inside the box's own loop. A box still open after the last
// step fails the test and is ended.
class ModalScript {
public:
    explicit ModalScript(std::vector<std::function<void()>> steps)
        : steps_(std::move(steps))
    {
        current_ = this;
        arm();
    }
    ~ModalScript()
    {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }

private:
    static inline ModalScript* current_ = nullptr;
    void arm() { timer_ = SetTimer(nullptr, 0, 20, &tick); }
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        ModalScript* self = current_;
        if (!self)
            return;
        self->arm(); // before the step, which may open a box; and it wakes loops that were ended
        // A modal loop shows its box only once its queue is idle, and a timer comes first: wait for
        // it, a while (an ended box is hidden too).
        for (HWND w : threadDialogs()) {
            if (!IsWindowVisible(w) && ++self->waited_ < 50)
                return;
        }
        self->waited_ = 0;
        if (self->next_ < self->steps_.size()) {
            self->steps_[self->next_++]();
            return;
        }
        for (HWND w : threadDialogs()) {
            ADD_FAILURE() << "still open after the last step";
            EndDialog(w, IDCANCEL);
        }
    }

    std::vector<std::function<void()>> steps_;
    std::size_t next_ = 0;
    int waited_ = 0;
    UINT_PTR timer_ = 0;
};

// Captions that do not show whole in their control with the control's own font.
inline std::vector<std::string> clippedCaptions(HWND dialog)
{
    std::vector<std::string> out;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t kind[16] = {};
        GetClassNameW(c, kind, 16);
        const LONG style = GetWindowLongW(c, GWL_STYLE);
        const bool button = lstrcmpiW(kind, L"Button") == 0;
        RECT room{};
        GetClientRect(c, &room);
        if (lstrcmpiW(kind, L"Edit") == 0)
            SendMessageW(c, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
        else if (button && (style & BS_TYPEMASK) == BS_GROUPBOX)
            InflateRect(&room, -8, 0); // the caption sits in the top line, inset from the corners
        else if (button && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
            room.left += GetSystemMetrics(SM_CXMENUCHECK) + 4; // the box and the gap after it
        else if (button)
            InflateRect(&room, -GetSystemMetrics(SM_CXEDGE) - 2, -GetSystemMetrics(SM_CYEDGE));
        else if (lstrcmpiW(kind, L"Static") != 0)
            continue;
        // The access key's "&" shows as an underline.
        const bool prefixed = button || (lstrcmpiW(kind, L"Static") == 0 && (style & SS_NOPREFIX) == 0);
        std::wstring shown;
        for (wchar_t ch : text(c)) {
            if (!prefixed || ch != L'&')
                shown += ch;
        }
        HDC dc = GetDC(c);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)));
        SIZE needed{};
        GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &needed);
        SelectObject(dc, old);
        ReleaseDC(c, dc);
        if (!shown.empty() && (needed.cx > room.right - room.left || needed.cy > room.bottom - room.top))
            out.push_back(std::to_string(GetDlgCtrlID(c)) + ": " + std::to_string(needed.cx) + "x"
                          + std::to_string(needed.cy) + " > " + std::to_string(room.right - room.left) + "x"
                          + std::to_string(room.bottom - room.top));
    }
    return out;
}

} // namespace zumi::test
