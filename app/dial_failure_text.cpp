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
    case DialError::NotRunning:
        return result.path + " läuft nicht.";
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
        return "Das Gerät wurde getrennt oder entfernt.";
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

// The device's reasons for failing an activation (NMDeviceStateReason).
std::string deviceFailureText(int reason)
{
    switch (reason) {
    case 5:
    case 6:
        return "Die Gegenstelle lieferte keine gültige IP-Konfiguration.";
    case 7:
        return "Es fehlen Zugangsdaten (Passwort oder SIM-PIN).";
    case 12:
        return "Der PPP-Dienst (pppd) ließ sich nicht starten.";
    case 13:
        return "Die Gegenstelle hat die PPP-Verbindung getrennt.";
    case 14:
        return "PPP ist fehlgeschlagen, etwa weil die Anmeldung (Benutzername oder Passwort) abgewiesen wurde.";
    case 23:
        return "Die Gegenstelle ist besetzt.";
    case 24:
        return "Kein Wählton: Ist die Leitung angeschlossen?";
    case 25:
    case 40:
        return "Kein Trägersignal: Leitung oder Kabel ist nicht verbunden.";
    case 11:
    case 26:
    case 32:
        return "Zeitüberschreitung beim Verbindungsaufbau.";
    case 27:
        return "Das Modem konnte nicht wählen.";
    case 28:
    case 57:
        return "Das Modem ließ sich nicht einrichten.";
    case 29:
        return "Der Zugangspunkt (APN) wurde abgewiesen.";
    case 30:
    case 31:
    case 33:
        return "Das Modem konnte sich nicht im Mobilfunknetz anmelden.";
    case 34:
    case 46:
    case 47:
    case 59:
        return "Die SIM-Karte verlangt eine PIN oder PUK, oder die PIN war falsch.";
    case 45:
        return "Es ist keine SIM-Karte eingelegt.";
    case 36:
    case 43:
        return "Das Modem fehlt oder wurde entfernt.";
    case 52:
        return "ModemManager läuft nicht, daher findet NetworkManager kein Modem.";
    case 44:
        return "Die Bluetooth-Verbindung zum Telefon kam nicht zustande.";
    case 50:
        return "Ein Gerät, von dem die Verbindung abhängt (etwa die Netzwerkkarte für PPPoE), ist nicht bereit.";
    default:
        return "Das Gerät meldete einen Fehler (Grund Nr. " + std::to_string(reason) + ").";
    }
}

} // namespace

std::string refusalReasonText(const LateRefusal& refusal)
{
    const std::string& fault = refusal.fault;
    std::string text;
    if (fault == "ended")
        text = "Die Verbindung kam nicht zustande.";
    else if (fault == "gone")
        text = "NetworkManager wurde beendet, bevor die Verbindung zustande kam.";
    else if (fault.rfind("reason:", 0) == 0)
        text = activationEndText(std::atoi(fault.c_str() + 7));
    else if (fault.rfind("device:", 0) == 0)
        text = deviceFailureText(std::atoi(fault.c_str() + 7));
    else if (fault == "org.freedesktop.NetworkManager.PermissionDenied"
             || fault == "org.freedesktop.DBus.Error.AccessDenied" || fault == "org.freedesktop.DBus.Error.AuthFailed")
        text = "Keine Berechtigung: NetworkManager (polkit) erlaubt das diesem Benutzer nicht. In einer aktiven "
               "lokalen Sitzung ist es normalerweise erlaubt.";
    else if (fault == "org.freedesktop.NetworkManager.UnknownConnection")
        text = "NetworkManager kennt dieses Verbindungsprofil nicht (mehr).";
    else if (fault == "org.freedesktop.NetworkManager.UnknownDevice")
        text = "Kein passendes Gerät (Modem oder Netzwerkkarte) gefunden.";
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
    if (refusal.fault == "gone")
        return "Der Wählvorgang für „" + refusal.entryName + "“ wurde nicht ausgeführt: " + refusalReasonText(refusal);
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
