#pragma once
#include "app/phonebook_owner.h"
#include "platform/dialup_access.h"
#include "tariff/auto_hangup_state.h"
#include "tariff/hangup_watch.h"
#include "tariff/monitor_views.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zumi {

// The boxes the menu's commands show, all titled "Zumi".
class MenuMessages {
public:
    virtual ~MenuMessages() = default;
    // Yes and No buttons, question icon; true for Yes.
    virtual bool question(const std::string& text) = 0;
    // OK button, exclamation icon.
    virtual void exclamation(const std::string& text) = 0;
};

// How one entry looks. A caption marks its access key with "&" ("&&" is an
// ampersand shown as it is).
struct MenuItem {
    std::string caption;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
};

struct TrayMenuDeps {
    DialUpAccess& dialUp;
    PhonebookOwner& phonebook;
    AutoHangupState& autoHangup;
    MenuMessages& messages;
    HangupWatch& hangups;
    std::function<std::int32_t()> activeConn; // the metered connection's index, -1 = none
};

// The tray icon's popup menu, free of any toolkit: its entries and their
// states, and what choosing each does. A view draws it, redraws it whenever
// it changed, and hands the choices back.
//
// Top to bottom: Close, separator, Settings, Calls, separator, the after-N
// submenu, separator, the provider entries (at least one), separator and
// Disconnect (both shown only while a connection is up).
class TrayMenu final : public MenuView {
public:
    static constexpr int kAutoHangupEntries = 10;
    enum class Command { Close, Settings, Calls, Disconnect };

    explicit TrayMenu(TrayMenuDeps deps);
    TrayMenu(const TrayMenu&) = delete;
    TrayMenu& operator=(const TrayMenu&) = delete;

    MenuItem item(Command command) const;
    MenuItem autoHangupMenu() const;
    MenuItem autoHangupEntry(int index) const;
    // N of that entry: the units that may begin before it hangs up.
    static std::int32_t autoHangupUnits(int index);
    std::vector<MenuItem> providers() const;
    bool disconnectShown() const { return disconnectShown_; } // with the separator above it

    // Called after every change of what the menu shows.
    void onChanged(std::function<void()> listener) { listeners_.push_back(std::move(listener)); }

    // "&Einstellungen", "&Beenden" and "Verbin&dungen…" are carried out elsewhere.
    void setSettingsCommand(std::function<void()> command) { settingsCommand_ = std::move(command); }
    void setCloseCommand(std::function<void()> command) { closeCommand_ = std::move(command); }
    void setCallsCommand(std::function<void()> command) { callsCommand_ = std::move(command); }

    // The menu is about to open: the phonebook is read afresh.
    void aboutToShow();

    // The choices. Each checks the state it needs when it runs, however old
    // the menu it came from.
    void choose(Command command);
    void chooseAutoHangup(int index);
    void chooseProvider(int index);
    void doConnect(const std::string& cc);

    // MenuView
    void setDisconnectShown(bool shown) override;
    void setMeteringEnabled(bool metering) override;

private:
    // A provider entry dials its name; the one in place of an unreadable
    // phonebook explains why there is nothing to dial; the placeholder stands
    // hidden until the first phonebook was read.
    struct Provider {
        enum class Kind { Placeholder, Dials, Trouble };
        Kind kind = Kind::Placeholder;
        std::string text;
    };

    void takePhonebook(const Phonebook& phonebook);
    void disconnect();
    void changed();

    TrayMenuDeps d_;
    std::vector<Provider> providers_{Provider{Provider::Kind::Placeholder, "Provider"}};
    bool metering_ = false;
    bool disconnectShown_ = false;
    std::function<void()> settingsCommand_;
    std::function<void()> closeCommand_;
    std::function<void()> callsCommand_;
    std::vector<std::function<void()>> listeners_;
};

} // namespace zumi
