// UUCP lock files, /run/lock/LCK..<device name>: how programs that honour only lock files
// (minicom, the modem managers) learn that a port is taken. The HDB form holds the owner's
// process number as ten ASCII characters and a newline.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The process number a lock file's text names: ASCII digits after optional blanks, ended by the
// text's end or a blank (the HDB form "      4242\n"), or the binary int of the old form.
// nullopt for anything else and for numbers outside 1 to below the kernel's pid limit, so an
// overflowing text never wraps onto init or onto -1.
std::optional<long> ParseLockFilePid(std::string_view text);

// The HDB form of a process number: ten characters, right-aligned, and a newline.
std::string LockFileText(long pid);

// The owner named by the lock file at `path` when that process is alive and is not this one;
// nullopt when there is no such file or it is stale.
std::optional<pid_t> LiveLockOwner(const std::string& path);

// Takes the lock file at `path` for this process: written whole under a temporary name, then
// linked into place, so nobody reads it half written. A stale one is replaced. False when it
// cannot be made (folder not writable) or a live process holds it.
bool TakeLockFile(const std::string& path);
// Removes the lock file at `path` if it is still this process's.
void ReleaseLockFile(const std::string& path);

}  // namespace platform
