// Why a port would not open, or why an open line was lost: a plain value that every channel can
// report (a terminal device or a serial device server) and every front end can print. The
// window says it in three languages from the same wording and arguments (WordsOf); the
// command-line program and the frame log use the English below.
#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace platform {

enum class PortProblem {
    None,
    NotMapped,         // the COM number names no device
    NoSuchDevice,      // the device is not there: an unplugged adapter, a stale map entry
    PermissionDenied,  // the device's owner and mode keep this user out
    HeldByProgram,     // another program has it: lock file, flock or exclusive mode
    HeldHere,          // this program already has it open (a card-reading loop)
    NotATerminal,      // the path opens, but it is no serial port
    Vanished,          // the device went away during an exchange
    HungUp,            // the line hung up during an exchange; the device is still there
    Stalled,           // the line took nothing within the wire time of a frame (`limitMs`)
    BadLineSettings,   // the line-settings text (`lineSettings`) names no complete setting
    Other,             // any other refusal: see `error`
    // A network port; `device` is its URL.
    BadAddress,     // not a network port address this program takes
    HostNotFound,   // the server's name did not resolve; `error` is the resolver's EAI_ code
    Refused,        // the server refused the connection, or closed it at once
    Unreachable,    // no route to the server, or another connect error: see `error`
    NoAnswer,       // no connection within the connect limit (`limitMs`)
    Dropped,        // the connection dropped during an exchange: the network's line gone
    NotNegotiated,  // rfc2217://: connected, no word on the COM-PORT option (`limitMs`)
};

struct PortDiagnosis {
    PortProblem problem = PortProblem::None;
    std::string device;  // the path that was opened (NotMapped: the COM name)
    int error = 0;       // the system's error number, where there was one

    // HeldByProgram: who holds the port, when that can be found out (pid 0: unknown).
    pid_t holderPid = 0;
    std::string holderName;  // its command name (/proc/PID/comm)
    std::string heldBy;      // how, in terms of any language: the lock file, "flock", "TIOCEXCL"

    // PermissionDenied.
    std::string user;              // who this program runs as
    std::string group;             // the group that owns the device (its number if unnamed)
    bool groupMayOpen = true;      // that group has read and write on the device
    bool memberNotActive = false;  // the user is listed in it, but not in this login yet

    // NoAnswer, NotNegotiated: the open limit that ran out; Stalled: the send limit.
    int limitMs = 0;

    std::string lineSettings;  // BadLineSettings: the text as it was given

    bool operator==(const PortDiagnosis& other) const;
};

// What is known about a device and the user when an open was refused with EACCES or EPERM.
struct DeviceAccess {
    std::string user;
    std::string group;
    bool groupMayOpen = true;
    bool userListedInGroup = false;  // by the group database
    bool groupInThisLogin = false;   // among this process's groups
};

// The reason for a refused open(2) with error number `error` (lock holders are found separately).
PortDiagnosis DiagnoseOpenError(const std::string& device, int error, const DeviceAccess& access);
// The facts above, read from the device and the user database.
DeviceAccess ExamineAccess(const std::string& device);

// Who holds `device`: a process with a flock on it (/proc/locks), else one that has it open
// (/proc/PID/fd); never this process. Pid 0 when nobody can be seen (another user's process
// whose descriptors we may not read).
struct PortHolder {
    pid_t pid = 0;
    std::string name;
};
PortHolder FindHolder(const std::string& device);
// The command name of a process; empty when it is gone.
std::string ProcessName(pid_t pid);

// How a diagnosis is worded: which sentence, with which arguments for %1, %2, ...
enum class PortWording {
    None,
    NotMapped,
    NoSuchDevice,
    PermissionNotMember,
    PermissionNotActive,
    PermissionOwnerOnly,
    HeldByNamed,
    HeldByUnknown,
    HeldHere,
    NotATerminal,
    Vanished,
    HungUp,
    Stalled,
    BadLineSettings,
    Other,
    BadAddress,
    HostNotFound,
    Refused,
    Unreachable,
    NoAnswer,
    Dropped,
    NotNegotiated,
};
struct PortWords {
    PortWording wording = PortWording::None;
    std::vector<std::string> arguments;
};
PortWords WordsOf(const PortDiagnosis& diagnosis);

// English sentences with %1, %2, ... : the reason, and what to do about it.
const char* EnglishReason(PortWording wording);
const char* EnglishAdvice(PortWording wording);
// Replaces %1 to %9 in one pass, so an argument that contains "%2" stays as it is.
std::string FillPlaceholders(const std::string& text, const std::vector<std::string>& arguments);

// The reason, the advice, and both in one line, in English.
std::string ReasonText(const PortDiagnosis& diagnosis);
std::string AdviceText(const PortDiagnosis& diagnosis);
std::string DescribePortProblem(const PortDiagnosis& diagnosis);

}  // namespace platform
