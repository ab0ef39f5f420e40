#include "app/dial_failure_text.h"

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
    case DialError::UnquotableName:
        return "Der Name enthält ein Anführungszeichen (\"), das rasphone nicht übergeben werden kann. Bitte benennen "
               "Sie die Verbindung ohne Anführungszeichen um.";
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
