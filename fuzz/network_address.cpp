// Network port addresses (rfc2217://HOST:PORT, socket://HOST:PORT): an address read from any
// text reads back the same from the form it is written in.
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "platform/NetworkAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::string text = in.rest();
    const bool url = platform::IsUrl(text);
    const auto address = platform::ParseNetworkAddress(text);
    if (!address) return 0;
    fuzz::Check(url, "an address is a URL");
    fuzz::Check(address->port >= 1 && address->port <= 65535 && !address->host.empty(),
                "port and host");
    const auto again = platform::ParseNetworkAddress(platform::FormatNetworkAddress(*address));
    fuzz::Check(again && again->kind == address->kind && again->host == address->host &&
                    again->port == address->port,
                "a written address reads back");
    return 0;
}
