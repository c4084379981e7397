#include "platform/NetworkAddress.h"

#include <cctype>

namespace platform {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    }
    return true;
}

std::optional<int> PortNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    int port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return std::nullopt;
    return port;
}

bool HostCharactersOk(std::string_view host) {
    if (host.empty()) return false;
    for (char c : host) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == ',' || c == '/' || c == '@' || c == '?') return false;
    }
    return true;
}

}  // namespace

bool IsUrl(std::string_view text) {
    const std::size_t colon = text.find("://");
    if (colon == std::string_view::npos || colon == 0) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        if (!std::isalnum(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

std::optional<NetworkAddress> ParseNetworkAddress(std::string_view url) {
    NetworkAddress address;
    if (StartsWithNoCase(url, "rfc2217://")) {
        address.kind = NetworkKind::Rfc2217;
        url.remove_prefix(10);
    } else if (StartsWithNoCase(url, "socket://")) {
        address.kind = NetworkKind::Socket;
        url.remove_prefix(9);
    } else {
        return std::nullopt;
    }
    if (!url.empty() && url.back() == '/') url.remove_suffix(1);

    std::string_view host;
    std::string_view port;
    if (!url.empty() && url.front() == '[') {
        const std::size_t close = url.find(']');
        if (close == std::string_view::npos || close + 1 >= url.size() || url[close + 1] != ':')
            return std::nullopt;
        host = url.substr(1, close - 1);
        port = url.substr(close + 2);
        if (host.find(':') == std::string_view::npos) return std::nullopt;
    } else {
        const std::size_t colon = url.rfind(':');
        if (colon == std::string_view::npos) return std::nullopt;
        host = url.substr(0, colon);
        port = url.substr(colon + 1);
        // An IPv6 address needs its brackets, or its last group would be read as the port.
        if (host.find(':') != std::string_view::npos) return std::nullopt;
    }
    const std::optional<int> number = PortNumber(port);
    if (!number || !HostCharactersOk(host)) return std::nullopt;
    address.host = std::string(host);
    address.port = *number;
    return address;
}

std::string FormatNetworkAddress(const NetworkAddress& address) {
    const bool v6 = address.host.find(':') != std::string::npos;
    return std::string(address.kind == NetworkKind::Rfc2217 ? "rfc2217://" : "socket://") +
           (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

}  // namespace platform
