#include "app/win32/win32_tray.h"

#include "app/tray_text.h"
#include "platform/win32/wide_text.h"


#include <cwchar>

namespace zumi {
namespace {

constexpr UINT kIconId = 1;

// Into a fixed field of the record, cut to fit and ended with a NUL; a
// surrogate pair is never cut in half.
template <std::size_t N> void copyField(wchar_t (&field)[N], const std::string& text)
{
    std::wstring wide = win32::wideFromUtf8(text);
    if (wide.size() > N - 1) {
        wide.resize(N - 1);
        if (!wide.empty() && wide.back() >= 0xD800 && wide.back() <= 0xDBFF)
            wide.pop_back();
    }
    std::wmemcpy(field, wide.c_str(), wide.size() + 1);
}

} // namespace

Win32Tray::Win32Tray(HWND window, UINT callbackMessage, HICON offline, HICON online, Notify notify)
    : window_(window)
    , callbackMessage_(callbackMessage)
    , offline_(offline)
    , online_(online)
    , notify_(std::move(notify))
{
    if (!notify_)
        notify_ = [](DWORD message, NOTIFYICONDATAW& data) { return ::Shell_NotifyIconW(message, &data); };
}

NOTIFYICONDATAW Win32Tray::data(UINT flags, TrayIcon icon, const std::string& tip) const
{
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = icon == TrayIcon::Online ? online_ : offline_;
    copyField(data.szTip, tip);
    return data;
}

// No result of the shell is looked at: an icon that could not be added comes
// back with the next "TaskbarCreated".
void Win32Tray::trayAdd(TrayIcon icon, const std::string& text)
{
    tip_ = trayAddTooltip(text);
    icon_ = icon;
    NOTIFYICONDATAW record = data(NIF_MESSAGE | NIF_ICON | NIF_TIP, icon, tip_);
    notify_(NIM_ADD, record);
    shown_ = true;
}

void Win32Tray::trayModify(TrayIcon icon, const std::string& text)
{
    tip_ = trayModifyTooltip(text);
    icon_ = icon;
    NOTIFYICONDATAW record = data(NIF_ICON | NIF_TIP, icon, tip_);
    notify_(NIM_MODIFY, record);
}

void Win32Tray::trayDelete()
{
    NOTIFYICONDATAW record = data(0, icon_, {});
    notify_(NIM_DELETE, record);
    shown_ = false;
}

void Win32Tray::addAgain(bool infoWindowVisible)
{
    if (infoWindowVisible)
        trayAdd(TrayIcon::Online, " Zumi - Verbunden ");
    else
        trayAdd(TrayIcon::Offline, " Zumi ");
}

void Win32Tray::notify(const std::string& summary, const std::string& body)
{
    if (!shown_)
        return;
    // Picture and tooltip stay as they are; only the balloon is new.
    NOTIFYICONDATAW record = data(NIF_INFO, icon_, {});
    copyField(record.szInfoTitle, summary);
    copyField(record.szInfo, body);
    record.dwInfoFlags = NIIF_INFO;
    notify_(NIM_MODIFY, record);
}

std::optional<RECT> Win32Tray::iconRect() const
{
    NOTIFYICONIDENTIFIER id{};
    id.cbSize = sizeof id;
    id.hWnd = window_;
    id.uID = kIconId;
    RECT rect{};
    if (!shown_ || FAILED(::Shell_NotifyIconGetRect(&id, &rect)) || rect.right <= rect.left)
        return std::nullopt;
    return rect;
}

} // namespace zumi
