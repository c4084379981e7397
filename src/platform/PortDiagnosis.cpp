#include "platform/PortDiagnosis.h"

#include <dirent.h>
#include <grp.h>
#include <netdb.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/NetworkAddress.h"

namespace platform {
namespace {

std::string UserName(uid_t uid) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return found->pw_name;
    return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
    std::vector<char> buffer(16384);
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return found->gr_name;
    return std::to_string(gid);
}

bool ListedInGroup(uid_t uid, gid_t gid) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) return false;
    if (found->pw_gid == gid) return true;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0) return false;
    }
    for (int i = 0; i < count; ++i)
        if (groups[static_cast<std::size_t>(i)] == gid) return true;
    return false;
}

bool InThisLogin(gid_t gid) {
    if (getegid() == gid) return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<std::size_t>(i)] == gid) return true;
    return false;
}

bool Alive(pid_t pid) { return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM); }

// The flock holder of the file with this device and inode, from /proc/locks. Lines read
// "1: FLOCK  ADVISORY  WRITE 1234 00:19:5 0 EOF"; a waiter's line has "->" after the number.
pid_t FlockHolder(const struct stat& file) {
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, where;
        long pid = 0;
        fields >> number >> kind;
        if (kind != "FLOCK") continue;
        fields >> mode >> access >> pid >> where;
        unsigned major = 0, minor = 0;
        unsigned long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%lu", &major, &minor, &inode) != 3) continue;
        if (major == major(file.st_dev) && minor == minor(file.st_dev) && inode == file.st_ino &&
            pid != getpid() && Alive(static_cast<pid_t>(pid)))
            return static_cast<pid_t>(pid);
    }
    return 0;
}

// A process other than this one with a descriptor on `real`.
pid_t OpenedBy(const std::string& real) {
    DIR* proc = opendir("/proc");
    if (!proc) return 0;
    pid_t holder = 0;
    while (dirent* process = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(process->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == getpid()) continue;
        const std::string fdDir = std::string("/proc/") + process->d_name + "/fd";
        DIR* fds = opendir(fdDir.c_str());
        if (!fds) continue;  // another user's process
        while (dirent* fd = readdir(fds)) {
            char target[PATH_MAX];
            const std::string link = fdDir + "/" + fd->d_name;
            const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
            if (n > 0 &&
                real.compare(0, std::string::npos, target, static_cast<std::size_t>(n)) == 0) {
                holder = static_cast<pid_t>(pid);
                break;
            }
        }
        closedir(fds);
        if (holder) break;
    }
    closedir(proc);
    return holder;
}

}  // namespace

bool PortDiagnosis::operator==(const PortDiagnosis& other) const {
    return problem == other.problem && device == other.device && error == other.error &&
           holderPid == other.holderPid && holderName == other.holderName &&
           heldBy == other.heldBy && user == other.user && group == other.group &&
           groupMayOpen == other.groupMayOpen && memberNotActive == other.memberNotActive &&
           limitMs == other.limitMs && lineSettings == other.lineSettings;
}

PortDiagnosis DiagnoseOpenError(const std::string& device, int error, const DeviceAccess& access) {
    PortDiagnosis d;
    d.device = device;
    d.error = error;
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:  // a serial port whose UART is not there
            d.problem = PortProblem::NoSuchDevice;
            break;
        case EACCES:
        case EPERM:
            d.problem = PortProblem::PermissionDenied;
            d.user = access.user;
            d.group = access.group;
            d.groupMayOpen = access.groupMayOpen;
            d.memberNotActive = access.userListedInGroup && !access.groupInThisLogin;
            break;
        case EBUSY:  // exclusive mode (TIOCEXCL) of another program
        case EWOULDBLOCK:
            d.problem = PortProblem::HeldByProgram;
            break;
        case EISDIR:
        case ENOTTY:
            d.problem = PortProblem::NotATerminal;
            break;
        default:
            d.problem = PortProblem::Other;
            break;
    }
    return d;
}

DeviceAccess ExamineAccess(const std::string& device) {
    DeviceAccess access;
    access.user = UserName(geteuid());
    struct stat file {};
    if (stat(device.c_str(), &file) != 0) return access;
    access.group = GroupName(file.st_gid);
    access.groupMayOpen = (file.st_mode & S_IRGRP) && (file.st_mode & S_IWGRP);
    access.userListedInGroup = ListedInGroup(geteuid(), file.st_gid);
    access.groupInThisLogin = InThisLogin(file.st_gid);
    return access;
}

std::string ProcessName(pid_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

PortHolder FindHolder(const std::string& device) {
    struct stat file {};
    if (stat(device.c_str(), &file) != 0) return {};
    pid_t pid = FlockHolder(file);
    if (!pid) {
        char resolved[PATH_MAX];
        pid = OpenedBy(realpath(device.c_str(), resolved) ? resolved : device);
    }
    if (!pid) return {};
    return {pid, ProcessName(pid)};
}

PortWords WordsOf(const PortDiagnosis& d) {
    PortWords words;
    words.arguments = {d.device};
    switch (d.problem) {
        case PortProblem::None:
            words.arguments.clear();
            break;
        case PortProblem::NotMapped:
            words.wording = PortWording::NotMapped;
            break;
        case PortProblem::NoSuchDevice:
            words.wording = PortWording::NoSuchDevice;
            break;
        case PortProblem::PermissionDenied:
            words.wording = !d.groupMayOpen     ? PortWording::PermissionOwnerOnly
                            : d.memberNotActive ? PortWording::PermissionNotActive
                                                : PortWording::PermissionNotMember;
            words.arguments.push_back(d.user);
            words.arguments.push_back(d.group);
            break;
        case PortProblem::HeldByProgram:
            if (d.holderPid > 0) {
                words.wording = PortWording::HeldByNamed;
                words.arguments.push_back(d.holderName.empty() ? "?" : d.holderName);
                words.arguments.push_back(std::to_string(d.holderPid));
                words.arguments.push_back(d.heldBy);
            } else {
                words.wording = PortWording::HeldByUnknown;
                words.arguments.push_back(d.heldBy);
            }
            break;
        case PortProblem::HeldHere:
            words.wording = PortWording::HeldHere;
            break;
        case PortProblem::NotATerminal:
            words.wording = PortWording::NotATerminal;
            break;
        case PortProblem::Vanished:
            words.wording = PortWording::Vanished;
            break;
        case PortProblem::HungUp:
            words.wording = PortWording::HungUp;
            break;
        case PortProblem::Stalled:
            words.wording = PortWording::Stalled;
            words.arguments.push_back(std::to_string(d.limitMs));
            break;
        case PortProblem::BadLineSettings:
            words.wording = PortWording::BadLineSettings;
            words.arguments.push_back(d.lineSettings);
            break;
        case PortProblem::Other:
            words.wording = PortWording::Other;
            words.arguments.push_back(d.error ? std::strerror(d.error) : "unknown");
            words.arguments.push_back(std::to_string(d.error));
            break;
        case PortProblem::BadAddress:
            words.wording = PortWording::BadAddress;
            break;
        case PortProblem::HostNotFound: {
            words.wording = PortWording::HostNotFound;
            const auto address = ParseNetworkAddress(d.device);
            words.arguments.push_back(address ? address->host : d.device);
            words.arguments.push_back(d.error ? gai_strerror(d.error) : "unknown");
            break;
        }
        case PortProblem::Refused:
            words.wording = PortWording::Refused;
            break;
        case PortProblem::Unreachable:
            words.wording = PortWording::Unreachable;
            words.arguments.push_back(d.error ? std::strerror(d.error) : "unknown");
            words.arguments.push_back(std::to_string(d.error));
            break;
        case PortProblem::NoAnswer:
            words.wording = PortWording::NoAnswer;
            words.arguments.push_back(std::to_string(d.limitMs));
            break;
        case PortProblem::Dropped:
            words.wording = PortWording::Dropped;
            break;
        case PortProblem::NotNegotiated:
            words.wording = PortWording::NotNegotiated;
            words.arguments.push_back(std::to_string(d.limitMs));
            break;
    }
    return words;
}

// The window's catalogue holds the same English sentences; a test keeps the two alike.
const char* EnglishReason(PortWording wording) {
    switch (wording) {
        case PortWording::None:
            return "";
        case PortWording::NotMapped:
            return "%1 names no device.";
        case PortWording::NoSuchDevice:
            return "%1 does not exist: the adapter is unplugged or has another name now.";
        case PortWording::PermissionNotMember:
            return "Permission denied on %1: the user %2 is not in the group %3 that owns it.";
        case PortWording::PermissionNotActive:
            return "Permission denied on %1: the user %2 joined the group %3 after this login.";
        case PortWording::PermissionOwnerOnly:
            return "Permission denied on %1: only its owner may open it, the group %3 may not.";
        case PortWording::HeldByNamed:
            return "%1 is held by another program: %2 (process %3, %4).";
        case PortWording::HeldByUnknown:
            return "%1 is held by another program (%2).";
        case PortWording::HeldHere:
            return "%1 is already open in this program.";
        case PortWording::NotATerminal:
            return "%1 is not a terminal device, so it is no serial port.";
        case PortWording::Vanished:
            return "%1 vanished during the exchange: the adapter was unplugged.";
        case PortWording::HungUp:
            return "%1 hung up during the exchange.";
        case PortWording::Stalled:
            return "%1 did not send the frame within %2 ms: the line is stalled.";
        case PortWording::BadLineSettings:
            return "%1 was not opened: the line settings \"%2\" are not a baud rate, parity, "
                   "data bits and stop bits such as \"19200,e,8,1\".";
        case PortWording::Other:
            return "%1 did not open: %2 (error %3).";
        case PortWording::BadAddress:
            return "%1 is not a network port address.";
        case PortWording::HostNotFound:
            return "%1: the server name %2 is not known (%3).";
        case PortWording::Refused:
            return "%1 refused the connection.";
        case PortWording::Unreachable:
            return "%1 cannot be reached: %2 (error %3).";
        case PortWording::NoAnswer:
            return "%1 did not answer within %2 ms.";
        case PortWording::Dropped:
            return "%1: the connection dropped during the exchange.";
        case PortWording::NotNegotiated:
            return "%1 accepted the connection but did not take up RFC 2217 (the COM-PORT "
                   "option) within %2 ms.";
    }
    return "";
}

const char* EnglishAdvice(PortWording wording) {
    switch (wording) {
        case PortWording::None:
            return "";
        case PortWording::NotMapped:
            return "Choose a port from the list, or map it in TAGBENCH_PORTS.";
        case PortWording::NoSuchDevice:
            return "Plug the adapter in again, or choose its port anew.";
        case PortWording::PermissionNotMember:
            return "Add the user to the group: sudo usermod -aG %3 %2, then log out and in again.";
        case PortWording::PermissionNotActive:
            return "Log out and in again, or start the program from: newgrp %3";
        case PortWording::PermissionOwnerOnly:
            return "Ask the administrator for a udev rule that gives the group %3 read and write.";
        case PortWording::HeldByNamed:
            return "Close %2, or end it with: kill %3";
        case PortWording::HeldByUnknown:
            return "Close the other program that uses the port (a serial terminal, a modem "
                   "manager).";
        case PortWording::HeldHere:
            return "Stop the continuous card reading first.";
        case PortWording::NotATerminal:
            return "Check which device the port names (TAGBENCH_PORTS or the stored extra "
                   "ports).";
        case PortWording::Vanished:
            return "Plug the adapter in again and repeat the command.";
        case PortWording::HungUp:
            return "Check the cable and the adapter, then repeat the command.";
        case PortWording::Stalled:
            return "Unplug the adapter and plug it in again, then repeat the command.";
        case PortWording::BadLineSettings:
            return "Choose the line settings from the list.";
        case PortWording::Other:
            return "Check the device and its driver.";
        case PortWording::BadAddress:
            return "Write it as rfc2217://HOST:PORT or socket://HOST:PORT.";
        case PortWording::HostNotFound:
            return "Check the server's name, or give its IP address instead.";
        case PortWording::Refused:
            return "Check the address and TCP port, that the server serves the serial line on "
                   "that port, and that no other client has it.";
        case PortWording::Unreachable:
            return "Check the server's address and port, and that the server is on the network.";
        case PortWording::NoAnswer:
            return "Check that the server is switched on and on the network, and that no "
                   "firewall blocks the port.";
        case PortWording::Dropped:
            return "Check the server and the network, then repeat the command.";
        case PortWording::NotNegotiated:
            return "Set the server's port up for RFC 2217 (telnet with the COM-PORT option), or "
                   "name a raw TCP port socket://HOST:PORT.";
    }
    return "";
}

std::string FillPlaceholders(const std::string& text, const std::vector<std::string>& arguments) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '%' && next >= '1' && next <= '9') {
            const auto index = static_cast<std::size_t>(next - '1');
            if (index < arguments.size()) {
                out += arguments[index];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string ReasonText(const PortDiagnosis& diagnosis) {
    const PortWords words = WordsOf(diagnosis);
    return FillPlaceholders(EnglishReason(words.wording), words.arguments);
}

std::string AdviceText(const PortDiagnosis& diagnosis) {
    const PortWords words = WordsOf(diagnosis);
    return FillPlaceholders(EnglishAdvice(words.wording), words.arguments);
}

std::string DescribePortProblem(const PortDiagnosis& diagnosis) {
    const std::string reason = ReasonText(diagnosis);
    const std::string advice = AdviceText(diagnosis);
    return advice.empty() ? reason : reason + " " + advice;
}

}  // namespace platform
