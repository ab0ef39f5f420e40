#include "app/win32/popup_menu.h"

#include "platform/win32/wide_text.h"

#include <string>
#include <vector>

namespace zumi {
namespace {

using namespace popup_command;

UINT stateFlags(const MenuItem& item)
{
    return (item.enabled ? MF_ENABLED : MF_GRAYED) | (item.checked ? MF_CHECKED : MF_UNCHECKED);
}

void append(HMENU menu, UINT id, const MenuItem& item)
{
    if (item.visible)
        ::AppendMenuW(menu, MF_STRING | stateFlags(item), id, win32::wideFromUtf8(item.caption).c_str());
}

void separator(HMENU menu)
{
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

void refresh(HMENU menu, UINT id, const MenuItem& item)
{
    ::EnableMenuItem(menu, id, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
    ::CheckMenuItem(menu, id, MF_BYCOMMAND | (item.checked ? MF_CHECKED : MF_UNCHECKED));
}

// The submenu's own entry in the popup: the one entry that opens a submenu.
int submenuPosition(HMENU popup)
{
    const int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i)
        if (::GetSubMenu(popup, i))
            return i;
    return -1;
}

} // namespace

HMENU buildPopupMenu(const TrayMenu& menu)
{
    HMENU popup = ::CreatePopupMenu();
    append(popup, kClose, menu.item(TrayMenu::Command::Close));
    separator(popup);
    append(popup, kSettings, menu.item(TrayMenu::Command::Settings));
    append(popup, kCalls, menu.item(TrayMenu::Command::Calls));
    separator(popup);

    HMENU units = ::CreatePopupMenu();
    for (int i = 0; i < TrayMenu::kAutoHangupEntries; ++i)
        append(units, kAutoHangupFirst + static_cast<UINT>(i), menu.autoHangupEntry(i));
    const MenuItem submenu = menu.autoHangupMenu();
    ::AppendMenuW(popup, MF_POPUP | (submenu.enabled ? MF_ENABLED : MF_GRAYED), reinterpret_cast<UINT_PTR>(units),
                  win32::wideFromUtf8(submenu.caption).c_str());
    separator(popup);

    const std::vector<MenuItem> providers = menu.providers();
    for (std::size_t i = 0; i < providers.size(); ++i)
        append(popup, kProviderFirst + static_cast<UINT>(i), providers[i]);
    if (menu.disconnectShown())
        separator(popup);
    append(popup, kDisconnect, menu.item(TrayMenu::Command::Disconnect));
    return popup;
}

void refreshPopupMenu(HMENU popup, const TrayMenu& menu)
{
    refresh(popup, kSettings, menu.item(TrayMenu::Command::Settings));
    refresh(popup, kCalls, menu.item(TrayMenu::Command::Calls));
    refresh(popup, kDisconnect, menu.item(TrayMenu::Command::Disconnect));
    const std::vector<MenuItem> providers = menu.providers();
    for (std::size_t i = 0; i < providers.size(); ++i)
        refresh(popup, kProviderFirst + static_cast<UINT>(i), providers[i]);
    for (int i = 0; i < TrayMenu::kAutoHangupEntries; ++i)
        refresh(popup, kAutoHangupFirst + static_cast<UINT>(i), menu.autoHangupEntry(i));
    const int submenu = submenuPosition(popup);
    if (submenu >= 0)
        ::EnableMenuItem(popup, static_cast<UINT>(submenu),
                         MF_BYPOSITION | (menu.autoHangupMenu().enabled ? MF_ENABLED : MF_GRAYED));
}

void runPopupCommand(TrayMenu& menu, UINT command)
{
    switch (command) {
    case kClose:
        menu.choose(TrayMenu::Command::Close);
        return;
    case kSettings:
        menu.choose(TrayMenu::Command::Settings);
        return;
    case kCalls:
        menu.choose(TrayMenu::Command::Calls);
        return;
    case kDisconnect:
        menu.choose(TrayMenu::Command::Disconnect);
        return;
    default:
        break;
    }
    if (command >= kAutoHangupFirst && command < kAutoHangupFirst + TrayMenu::kAutoHangupEntries)
        menu.chooseAutoHangup(static_cast<int>(command - kAutoHangupFirst));
    else if (command >= kProviderFirst && command - kProviderFirst < menu.providers().size())
        menu.chooseProvider(static_cast<int>(command - kProviderFirst));
}

} // namespace zumi
