// UUCP lock files: any text gives no process or one from 1 to below the kernel's pid limit
// (never init by overflow, never -1), and a number written in the HDB form reads back.
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "platform/LockFile.h"

namespace {

constexpr long kPidLimit = 4194304;  // the kernel's hard limit on process numbers

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto pid = platform::ParseLockFilePid(text);
    fuzz::Check(!pid || (*pid >= 1 && *pid < kPidLimit), "a process number in range");
    if (pid)
        fuzz::Check(platform::ParseLockFilePid(platform::LockFileText(*pid)) == pid,
                    "the HDB form reads back");
    return 0;
}
