#include "app/dial_failure_text.h"

#include <cstdlib>
#include <cstring>

namespace zumi {
namespace {

// Debian lets the members of the group "dip" read the phonebook and start pppd.
constexpr const char* kJoinDip
    = "Dazu muss Ihr Benutzer Mitglied der Gruppe „dip“ sein (sudo adduser BENUTZER dip, danach neu anmelden).";

std::string reasonText(const DialResult& result)
{
    const std::string& program = result.path;
    switch (result.error) {
    case DialError::None:
        return {};
    case DialError::NoSuchEntry:
        return "Im Telefonbuch " + result.path + " gibt es keinen Eintrag dieses Namens.";
    case DialError::ProgramMissing:
        return "Das Programm " + program + " wurde nicht gefunden (Debian-Paket „ppp“).";
    case DialError::NotPermitted:
        return "Das Programm " + program + " darf nicht ausgeführt werden. " + kJoinDip;
    case DialError::NotExecutable:
        return program + " ist kein ausführbares Programm.";
    case DialError::NoProcesses:
        return "Das System kann zurzeit keinen weiteren Prozess starten.";
    case DialError::StartFailed:
        return program + " ließ sich nicht starten (Fehler " + std::to_string(result.code) + ": "
            + std::strerror(result.code) + ").";
    case DialError::ExitedAtOnce:
    case DialError::KilledAtOnce: {
        std::string reason = result.error == DialError::ExitedAtOnce
            ? "pppd hat sich sofort mit dem Status " + std::to_string(result.code) + " beendet."
            : "pppd wurde sofort durch das Signal " + std::to_string(result.code) + " beendet.";
        if (!result.detail.empty())
            reason += " Meldung: " + result.detail;
        return reason;
    }
    }
    return {};
}

} // namespace

std::string dialFailureText(const std::string& entryName, const DialResult& result)
{
    const std::string reason = reasonText(result);
    if (reason.empty())
        return {};
    return "Der Wählvorgang für „" + entryName + "“ konnte nicht gestartet werden: " + reason;
}

namespace {

// NetworkManager's reasons for ending an activation (NMActiveConnectionStateReason).
std::string activationEndText(int reason)
{
    switch (reason) {
    case 3:
    case 14:
        return "Das Gerät (Modem) wurde getrennt oder entfernt.";
    case 5:
        return "Die Gegenstelle lieferte keine gültige IP-Konfiguration.";
    case 6:
    case 7:
        return "Zeitüberschreitung beim Verbindungsaufbau.";
    case 9:
        return "Es fehlen Zugangsdaten (Passwort oder SIM-PIN).";
    case 10:
        return "Die Anmeldung wurde abgewiesen.";
    case 11:
        return "Das Verbindungsprofil wurde gelöscht.";
    case 13:
        return "Das Gerät (Modem) ließ sich nicht einrichten.";
    default:
        return "Der Verbindungsaufbau brach ab (Grund Nr. " + std::to_string(reason) + ").";
    }
}

} // namespace

std::string refusalReasonText(const LateRefusal& refusal)
{
    const std::string& fault = refusal.fault;
    std::string text;
    if (fault == "ended")
        text = "Die Verbindung kam nicht zustande.";
    else if (fault.rfind("reason:", 0) == 0)
        text = activationEndText(std::atoi(fault.c_str() + 7));
    else if (fault == "org.freedesktop.NetworkManager.PermissionDenied"
             || fault == "org.freedesktop.DBus.Error.AccessDenied" || fault == "org.freedesktop.DBus.Error.AuthFailed")
        text = "Keine Berechtigung: NetworkManager (polkit) erlaubt das diesem Benutzer nicht. In einer aktiven "
               "lokalen Sitzung ist es normalerweise erlaubt.";
    else if (fault == "org.freedesktop.NetworkManager.UnknownConnection")
        text = "NetworkManager kennt dieses Verbindungsprofil nicht (mehr).";
    else if (fault == "org.freedesktop.NetworkManager.UnknownDevice")
        text = "Kein passendes Gerät (Modem) gefunden.";
    else if (fault == "org.freedesktop.NetworkManager.ConnectionNotActive")
        text = "Die Verbindung ist bei NetworkManager nicht (mehr) aktiv.";
    else if (fault == "org.freedesktop.DBus.Error.NoReply" || fault == "org.freedesktop.DBus.Error.Timeout")
        text = "NetworkManager antwortet nicht.";
    else if (fault == "org.freedesktop.DBus.Error.ServiceUnknown"
             || fault == "org.freedesktop.DBus.Error.NameHasNoOwner"
             || fault == "org.freedesktop.DBus.Error.Disconnected")
        text = "NetworkManager läuft nicht.";
    else
        text = "Fehler " + fault + ".";
    if (!refusal.message.empty())
        text += " (NetworkManager: " + refusal.message + ")";
    return text;
}

std::string refusedDialText(const LateRefusal& refusal)
{
    return "Der Wählvorgang für „" + refusal.entryName
        + "“ wurde von NetworkManager abgelehnt: " + refusalReasonText(refusal);
}

std::string phonebookTroubleText(const Phonebook& phonebook)
{
    switch (phonebook.error) {
    case PhonebookError::None:
        break;
    case PhonebookError::Missing:
        return "Keine Verbindungen: " + phonebook.path
            + " fehlt. Ist das Debian-Paket „ppp“ installiert (sudo apt-get install ppp)?";
    case PhonebookError::NotPermitted:
        return "Keine Verbindungen: Kein Zugriff auf " + phonebook.path
            + ", dazu fehlt die Gruppe „dip“ (sudo adduser BENUTZER dip, danach neu anmelden)";
    case PhonebookError::Unreadable:
        return "Keine Verbindungen: " + phonebook.path + " ist nicht lesbar (Fehler " + std::to_string(phonebook.code)
            + ": " + std::strerror(phonebook.code) + ").";
    }
    return {};
}

} // namespace zumi
