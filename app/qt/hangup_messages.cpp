#include "app/qt/hangup_messages.h"

#include "tariff/german_format.h"

#include <cerrno>

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
    if (!request.refusal.empty())
        return text + "NetworkManager lehnt es ab: " + request.refusal
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

void HangupMessages::hangupFailed(const HangupRequest& request, int error)
{
    const std::string text = hangupFailureText(request, error);
    boxes_.warnWithoutWaiting(QString::fromStdString(text));
    notifier_.notify("Zumi: Trennen fehlgeschlagen", text);
}

void HangupMessages::automaticHangupDone(const HangupRequest& request)
{
    notifier_.notify("Zumi: automatisch getrennt", automaticHangupText(request));
}

} // namespace zumi
