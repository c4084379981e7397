#include "platform/LockFile.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace platform {
namespace {

// The kernel's upper bound for pid_max (PID_MAX_LIMIT on 64-bit systems): process numbers stay
// below it, whatever pid_max is set to.
constexpr long kPidLimit = 4 * 1024 * 1024;

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool ProcessAlive(long pid) { return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

std::optional<long> ParseLockFilePid(std::string_view text) {
    const bool ascii = !text.empty() && (Blank(text[0]) || (text[0] >= '0' && text[0] <= '9'));
    if (!ascii && text.size() == sizeof(int)) {
        int binary = 0;
        std::memcpy(&binary, text.data(), sizeof binary);
        if (binary < 1 || binary >= kPidLimit) return std::nullopt;
        return binary;
    }
    std::size_t i = 0;
    while (i < text.size() && Blank(text[i])) ++i;
    const std::size_t digits = i;
    long pid = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        pid = pid * 10 + (text[i] - '0');
        if (pid >= kPidLimit) return std::nullopt;
    }
    if (i == digits || (i < text.size() && !Blank(text[i])) || pid < 1) return std::nullopt;
    return pid;
}

std::optional<pid_t> LiveLockOwner(const std::string& path) {
    const std::optional<long> pid = ParseLockFilePid(ReadAll(path));
    if (!pid || *pid == static_cast<long>(getpid()) || !ProcessAlive(*pid)) return std::nullopt;
    return static_cast<pid_t>(*pid);
}

std::string LockFileText(long pid) {
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%10ld\n", pid);
    return std::string(text, static_cast<std::size_t>(length));
}

bool TakeLockFile(const std::string& path) {
    const std::string temporary = path + "." + std::to_string(getpid()) + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const std::string text = LockFileText(static_cast<long>(getpid()));
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    bool taken = false;
    // Two tries: the second after removing a stale file left by a program that crashed.
    for (int attempt = 0; written && !taken && attempt < 2; ++attempt) {
        if (link(temporary.c_str(), path.c_str()) == 0) {
            taken = true;
        } else if (errno != EEXIST || LiveLockOwner(path)) {
            break;
        } else {
            unlink(path.c_str());
        }
    }
    unlink(temporary.c_str());
    return taken;
}

void ReleaseLockFile(const std::string& path) {
    if (ParseLockFilePid(ReadAll(path)) == static_cast<long>(getpid())) unlink(path.c_str());
}

}  // namespace platform
