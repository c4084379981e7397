// Network serial ports: a port map entry may name a serial device server on the LAN instead of
// a device path, in the URL forms that serial tools already use:
//   rfc2217://HOST:PORT  telnet with the COM-PORT-OPTION: line settings, DTR/RTS and purge go
//                        to the server
//   socket://HOST:PORT   raw TCP: the server's own line settings apply
// HOST is a name, an IPv4 address or an IPv6 address in brackets ("[fe80::1]").
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class NetworkKind { Rfc2217, Socket };

struct NetworkAddress {
    NetworkKind kind = NetworkKind::Rfc2217;
    std::string host;  // without the brackets of an IPv6 address
    int port = 0;      // 1 to 65535
};

// True when the text has the form "scheme://", whatever the scheme: such a text is never a
// device path to open as a terminal.
bool IsUrl(std::string_view text);

// The address of "rfc2217://HOST:PORT" or "socket://HOST:PORT" (scheme in any case, an optional
// trailing "/"); nullopt for any other text, a missing or out-of-range port, or a host that
// holds blanks, commas or "/".
std::optional<NetworkAddress> ParseNetworkAddress(std::string_view url);

// "rfc2217://door-server:4001", the form ParseNetworkAddress reads back.
std::string FormatNetworkAddress(const NetworkAddress& address);

}  // namespace platform
