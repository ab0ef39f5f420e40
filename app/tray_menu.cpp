#include "app/tray_menu.h"

#include "app/dial_failure_text.h"
#include "ras/connection_queries.h"

#include <array>
#include <utility>

namespace zumi {
namespace {

struct AutoHangupChoice {
    const char* caption;
    std::int32_t units;
};

constexpr std::array<AutoHangupChoice, TrayMenu::kAutoHangupEntries> kAutoHangupChoices{{
    {"Nach laufender Einheit", 0},
    {"Nach 1 weiteren Einheit", 1},
    {"Nach 2 weiteren Einheiten", 2},
    {"Nach 3 weiteren Einheiten", 3},
    {"Nach 4 weiteren Einheiten", 4},
    {"Nach 5 weiteren Einheiten", 5},
    {"Nach 10 weiteren Einheiten", 10},
    {"Nach 30 weiteren Einheiten", 30},
    {"Nach 60 weiteren Einheiten", 60},
    {"Nach 120 weiteren Einheiten", 120},
}};

bool validIndex(int index)
{
    return index >= 0 && index < TrayMenu::kAutoHangupEntries;
}

// A phonebook name is shown as it is: an ampersand in it is no access key.
std::string shownAsItIs(const std::string& text)
{
    std::string caption;
    for (const char c : text) {
        caption += c;
        if (c == '&')
            caption += '&';
    }
    return caption;
}

} // namespace

TrayMenu::TrayMenu(TrayMenuDeps deps)
    : d_(std::move(deps))
{
    d_.phonebook.onChanged([this] { takePhonebook(d_.phonebook.listed()); });
    d_.autoHangup.onChanged([this] { changed(); });
}

MenuItem TrayMenu::item(Command command) const
{
    switch (command) {
    case Command::Close:
        return {"&Beenden"};
    case Command::Settings:
        return {"&Einstellungen", true, !metering_};
    case Command::Calls:
        // Always enabled: the log can be read while a call is metered. Its
        // access key is the "d": "v" stays the one key of "&Vor Einheitsende
        // trennen", which a shared key would only select instead of opening.
        return {"Verbin&dungen\u2026"};
    case Command::Disconnect:
        return {"&Trennen", disconnectShown_, metering_};
    }
    return {};
}

MenuItem TrayMenu::autoHangupMenu() const
{
    return {"&Vor Einheitsende trennen", true, metering_};
}

MenuItem TrayMenu::autoHangupEntry(int index) const
{
    if (!validIndex(index))
        return {};
    const AutoHangupChoice& choice = kAutoHangupChoices[static_cast<std::size_t>(index)];
    return {choice.caption, true, true, d_.autoHangup.chosen() == choice.units};
}

std::int32_t TrayMenu::autoHangupUnits(int index)
{
    return validIndex(index) ? kAutoHangupChoices[static_cast<std::size_t>(index)].units : -1;
}

std::vector<MenuItem> TrayMenu::providers() const
{
    std::vector<MenuItem> items;
    for (const Provider& provider : providers_) {
        switch (provider.kind) {
        case Provider::Kind::Placeholder:
            items.push_back({provider.text, false});
            break;
        case Provider::Kind::Dials:
            items.push_back({shownAsItIs(provider.text), true, !metering_});
            break;
        case Provider::Kind::Trouble:
            items.push_back({shownAsItIs(provider.text), true, false});
            break;
        }
    }
    return items;
}

void TrayMenu::aboutToShow()
{
    d_.phonebook.reload();
}

void TrayMenu::takePhonebook(const Phonebook& phonebook)
{
    if (phonebook.error != PhonebookError::None) {
        // Why there is nothing to dial, in place of the entries; it dials nothing.
        providers_.assign(1, {Provider::Kind::Trouble, phonebookTroubleText(phonebook)});
    } else if (phonebook.entries.empty()) {
        // The first entry keeps its caption and state; choosing it dials what it shows.
        providers_.resize(1);
    } else {
        providers_.clear();
        for (const std::string& name : phonebook.entries)
            providers_.push_back({Provider::Kind::Dials, name});
    }
    changed();
}

void TrayMenu::choose(Command command)
{
    switch (command) {
    case Command::Close:
        if (closeCommand_)
            closeCommand_();
        break;
    case Command::Settings:
        // A menu read before the call began may still offer it.
        if (!metering_ && settingsCommand_)
            settingsCommand_();
        break;
    case Command::Calls:
        if (callsCommand_)
            callsCommand_();
        break;
    case Command::Disconnect:
        disconnect();
        break;
    }
}

// Radio entries that can all be off: choosing the marked one takes the choice
// back, another one arms the rule anew, but only while a call is metered.
void TrayMenu::chooseAutoHangup(int index)
{
    if (!validIndex(index))
        return;
    const std::int32_t units = autoHangupUnits(index);
    if (d_.autoHangup.chosen() == units) {
        d_.autoHangup.disarm();
        return;
    }
    if (d_.activeConn() != -1) {
        d_.autoHangup.arm(units);
        return;
    }
    d_.messages.question("Ohne Verbindung macht das keinen Sinn, oder?");
    d_.messages.exclamation("Eben!");
}

void TrayMenu::chooseProvider(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= providers_.size())
        return;
    const Provider& provider = providers_[static_cast<std::size_t>(index)];
    if (provider.kind == Provider::Kind::Dials)
        doConnect(std::string(provider.text));
}

void TrayMenu::disconnect()
{
    const HangupAttempt attempt = hangUpConnection(d_.dialUp);
    d_.hangups.requested({attempt.handle, attempt.entryName, HangupCause::Menu, attempt.error});
}

void TrayMenu::doConnect(const std::string& cc)
{
    // Never a second dial beside a metered call, whatever menu was read before it began.
    if (d_.activeConn() != -1)
        return;
    // The platform's dialer runs detached; whether dialing succeeds shows up
    // at a later tick of the monitor.
    const DialResult result = d_.dialUp.dial(cc);
    if (result.started)
        return;
    std::string text = "„" + cc + "“ kann nicht gewählt werden: das Wählprogramm ließ sich nicht starten.";
    const std::string reason = dialFailureText(cc, result);
    if (!reason.empty())
        text += "\n\n" + reason;
    d_.messages.exclamation(text);
}

void TrayMenu::setDisconnectShown(bool shown)
{
    disconnectShown_ = shown;
    changed();
}

void TrayMenu::setMeteringEnabled(bool metering)
{
    metering_ = metering;
    changed();
}

void TrayMenu::changed()
{
    for (const auto& listener : listeners_)
        listener();
}

} // namespace zumi
