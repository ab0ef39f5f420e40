#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace zumi {

// Connection state numbers as dial-up networking reports them.
inline constexpr std::int32_t kStateConnected = 8192;
inline constexpr std::int32_t kStateDisconnected = 8193;
// While a link is being set up (dialing, negotiating): RASCS_ConnectDevice.
// Not 0, which reads as "no such connection".
inline constexpr std::int32_t kStateConnecting = 2;

struct DialUpConnection {
    std::int32_t handle = 0;
    std::string entryName;
};

struct ConnectionList {
    bool ok = false;                           // false: the enumeration itself failed
    std::vector<DialUpConnection> connections; // the first one is "the" connection
};

// Why the dialer could not be started. The backend only names the fault; the
// shell words it for the user.
enum class DialError {
    None,
    NoSuchEntry,    // path: the phonebook that lacks the entry
    NotRunning,     // path: the service that dials the entry, which is not running
    ProgramMissing, // path: the dialer program
    NotPermitted,   // path: the dialer program
    NotExecutable,  // path: the dialer program
    NoProcesses,    // the system can start no further process
    StartFailed,    // path: the dialer program; code: the system's error number
    ExitedAtOnce,   // code: the dialer's exit status; detail: its first error line
    KilledAtOnce,   // code: the signal that ended it; detail: its first error line
    UnquotableName, // the name cannot be passed to the dialer (it holds a double quote)
};

struct DialResult {
    DialResult() = default;
    DialResult(bool started, DialError error = DialError::None, std::string path = {}, int code = 0,
               std::string detail = {})
        : started(started)
        , error(error)
        , path(std::move(path))
        , code(code)
        , detail(std::move(detail))
    {
    }

    bool started = false;
    DialError error = DialError::None;
    std::string path;
    int code = 0;
    std::string detail; // as the dialer wrote it
};

// Why the phonebook could not be read.
enum class PhonebookError {
    None,
    Missing,      // path: the phonebook folder (the dialer is not installed)
    NotPermitted, // path: the phonebook folder, which this user may not read
    Unreadable,   // path: the phonebook folder; code: the system's error number
};

struct Phonebook {
    std::vector<std::string> entries;
    PhonebookError error = PhonebookError::None;
    std::string path;
    int code = 0;
};

// A request the dial-up system turned down after dial() or hangUp() had
// returned, in the system's own terms; the shell words it for the user.
struct LateRefusal {
    enum class Request { Dial, HangUp };
    Request request = Request::Dial;
    std::int32_t handle = 0; // the connection a hang-up was for
    std::string entryName;
    std::string fault;   // the system's name of the fault
    std::string message; // the system's own message
};
using LateRefusalHandler = std::function<void(const LateRefusal&)>;

// The operating system's dial-up networking, one backend per platform.
class DialUpAccess {
public:
    virtual ~DialUpAccess() = default;
    virtual ConnectionList enumConnections() = 0;
    // The state number of the connection, 0 when the handle names none.
    virtual std::int32_t connectionState(std::int32_t handle) = 0;
    // Asks for the hang-up and returns at once: 0 when asked (or when the
    // handle names no connection), else the system's error number (EPERM:
    // the link belongs to someone this user may not stop).
    virtual int hangUp(std::int32_t handle) = 0;
    // The phonebook entry names, in no particular order, or why there are none.
    virtual Phonebook phonebookEntries() = 0;
    // Starts the system's dialer for the entry, detached.
    virtual DialResult dial(const std::string& entryName) = 0;
    // Where refusals go that arrive after dial() or hangUp() returned; a
    // system that answers at once has none to tell.
    virtual void onLateRefusal(LateRefusalHandler handler) { (void)handler; }
    // Called whenever the phonebook changed on its own (a system that learns
    // its entries after the start); one read at start has none to tell.
    virtual void onPhonebookChanged(std::function<void()> handler) { (void)handler; }
};

} // namespace zumi
