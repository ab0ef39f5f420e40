#pragma once
// Drives a modal Win32 dialog from inside its own message loop, and measures its captions.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zumi::test {

// This thread's window with that title (other test programs share wine's desktop).
inline HWND threadWindow(const std::wstring& title)
{
    std::pair<const std::wstring*, HWND> search{&title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) {
            auto* s = reinterpret_cast<std::pair<const std::wstring*, HWND>*>(data);
            wchar_t text[256] = {};
            GetWindowTextW(window, text, 256);
            if (IsWindowVisible(window) && *s->first == text) {
                s->second = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

inline std::wstring text(HWND window)
{
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

// Runs one step per timer tick in whatever modal loop the thread is in: a step
// that opens a box finds the next step running inside the box's own loop. When
// the steps are done and a box is still open, it fails and ends every box.
class ModalScript {
public:
    explicit ModalScript(std::vector<std::function<void()>> steps)
        : steps_(std::move(steps))
    {
        current() = this;
        timer_ = SetTimer(nullptr, 0, 20, &tick);
    }
    ~ModalScript()
    {
        KillTimer(nullptr, timer_);
        current() = nullptr;
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

private:
    static ModalScript*& current()
    {
        static ModalScript* script = nullptr;
        return script;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(nullptr, id);
        ModalScript* self = current();
        if (!self)
            return;
        // A modal loop shows its box only once its queue is idle, and a timer comes first: wait for it.
        BOOL hidden = FALSE;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM found) {
                wchar_t kind[16] = {};
                GetClassNameW(w, kind, 16);
                if (lstrcmpW(kind, L"#32770") == 0 && !IsWindowVisible(w))
                    *reinterpret_cast<BOOL*>(found) = TRUE;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&hidden));
        if (hidden) {
            self->timer_ = SetTimer(nullptr, 0, 20, &tick);
            return;
        }
        if (self->next_ == self->steps_.size()) {
            ADD_FAILURE() << "a dialog is still open after the last step";
            EnumThreadWindows(
                GetCurrentThreadId(), [](HWND w, LPARAM) { return EndDialog(w, IDCANCEL), TRUE; }, 0);
            return;
        }
        std::function<void()> step = self->steps_[self->next_++];
        self->timer_ = SetTimer(nullptr, 0, 20, &tick); // before the step, which may open a box
        step();
    }

    std::vector<std::function<void()>> steps_;
    std::size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

// Captions that do not show whole in their control with the control's own font:
// "id "text" needed>room" for each.
inline std::vector<std::string> clippedCaptions(HWND dialog)
{
    std::vector<std::string> out;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        std::wstring caption = text(c);
        if (caption.empty())
            continue;
        wchar_t kind[32] = {};
        GetClassNameW(c, kind, 32);
        const LONG style = GetWindowLongW(c, GWL_STYLE);
        RECT client{};
        GetClientRect(c, &client);
        int room = client.right;
        int roomHigh = client.bottom;
        if (lstrcmpiW(kind, L"Edit") == 0) {
            RECT format{};
            SendMessageW(c, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
            room = format.right - format.left;
            roomHigh = format.bottom - format.top;
        } else if (lstrcmpiW(kind, L"Button") == 0) {
            const LONG type = style & BS_TYPEMASK;
            if (type == BS_GROUPBOX)
                room -= 2 * 8; // the caption stands in the frame's top line, inset from its corners
            else if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX)
                room -= GetSystemMetrics(SM_CXMENUCHECK) + 4; // the box and the gap after it
            else
                room -= 2 * (GetSystemMetrics(SM_CXEDGE) + 2), roomHigh -= 2 * GetSystemMetrics(SM_CYEDGE);
        } else if (lstrcmpiW(kind, L"Static") != 0) {
            continue;
        }
        // The access key's "&" is drawn as an underline, "&&" as one "&".
        const bool prefixed = lstrcmpiW(kind, L"Button") == 0
            || (lstrcmpiW(kind, L"Static") == 0 && (style & SS_NOPREFIX) == 0);
        std::wstring shown;
        for (std::size_t i = 0; i < caption.size(); ++i) {
            if (prefixed && caption[i] == L'&' && i + 1 < caption.size())
                ++i;
            shown += caption[i];
        }
        HDC dc = GetDC(c);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)));
        SIZE needed{};
        GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &needed);
        SelectObject(dc, old);
        ReleaseDC(c, dc);
        if (needed.cx > room || needed.cy > roomHigh)
            out.push_back(std::to_string(GetDlgCtrlID(c)) + " \"" + std::string(shown.begin(), shown.end()) + "\" "
                          + std::to_string(needed.cx) + "x" + std::to_string(needed.cy) + ">"
                          + std::to_string(room) + "x" + std::to_string(roomHigh));
    }
    return out;
}

} // namespace zumi::test
