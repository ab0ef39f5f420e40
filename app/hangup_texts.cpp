#include "app/hangup_texts.h"

#include "tariff/german_format.h"

#include <cerrno>
#include <cstdlib>

namespace zumi {
namespace {

std::string quoted(const std::string& name)
{
    return "\xE2\x80\x9E" + name + "\xE2\x80\x9C";
} // „name“

std::string whoAsked(HangupCause cause)
{
    switch (cause) {
    case HangupCause::LowTraffic:
        return "Die automatische Trennung bei geringem Datenverkehr";
    case HangupCause::AfterUnits:
        return "Die Trennung nach den gew\xC3\xA4hlten Einheiten";
    case HangupCause::Budget:
        return "Die Trennung beim Ende des Monatsbudgets";
    case HangupCause::Menu:
        break;
    }
    return "Das Trennen";
}

} // namespace

std::string hangupFailureText(const HangupRequest& request, int error)
{
    const std::string name = quoted(request.entryName);
    std::string text = whoAsked(request.cause) + " der Verbindung " + name + " ist fehlgeschlagen: ";
    if (request.refusal)
        return text + "NetworkManager lehnt es ab: " + refusalReasonText(*request.refusal)
            + " Die Verbindung kostet weiter Geld. Bitte trennen Sie sie selbst, z. B. mit \xE2\x80\x9Enmcli "
              "connection "
              "down "
            + request.entryName + "\xE2\x80\x9C.";
    if (error == 0)
        text
            += "Die Verbindung besteht " + std::to_string(HangupWatch::kHangupGrace.count()) + " Sekunden danach noch.";
    else if (error == EPERM)
        text += "Zumi darf diese Verbindung nicht beenden (sie wurde von root oder einem anderen Benutzer "
                "gestartet).";
    else
        text += "Das System meldet Fehler Nr. " + std::to_string(error) + ".";
    return text + " Die Verbindung kostet weiter Geld. Bitte trennen Sie sie selbst, z. B. mit \xE2\x80\x9Esudo poff "
        + request.entryName + "\xE2\x80\x9C.";
}

std::string automaticHangupText(const HangupRequest& request)
{
    const std::string why = request.cause == HangupCause::LowTraffic ? "wegen geringen Datenverkehrs"
        : request.cause == HangupCause::Budget                       ? "am Ende des Monatsbudgets"
                                                                     : "nach den gew\xC3\xA4hlten Einheiten";
    return "Die Verbindung " + quoted(request.entryName) + " wurde " + why + " getrennt: Online-Zeit "
        + formatOnlineTime(request.onlineSeconds) + ", " + std::to_string(request.units)
        + (request.units == 1 ? " Einheit." : " Einheiten.");
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

} // namespace zumi
