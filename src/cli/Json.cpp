#include "cli/Json.h"

#include <cstdio>

namespace cli {

namespace {

// The length of the valid UTF-8 character at `at`, 0 when its bytes are not one.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (static_cast<unsigned char>(c) >= 0x80) {
            // Each byte that starts no UTF-8 character becomes U+FFFD: the line stays UTF-8.
            const std::size_t length = Utf8Length(text, at);
            if (length == 0) {
                json += "\\uFFFD";
            } else {
                json += text.substr(at, length);
                at += length - 1;
            }
            continue;
        }
        switch (c) {
            case '"':
                json += "\\\"";
                break;
            case '\\':
                json += "\\\\";
                break;
            case '\n':
                json += "\\n";
                break;
            case '\r':
                json += "\\r";
                break;
            case '\t':
                json += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04X",
                                  static_cast<unsigned>(static_cast<unsigned char>(c)));
                    json += escaped;
                } else {
                    json += c;
                }
        }
    }
    return json + "\"";
}

JsonObject& JsonObject::raw(std::string_view key, const std::string& json) {
    if (!members_.empty()) members_ += ',';
    members_ += JsonString(key) + ":" + json;
    return *this;
}

JsonObject& JsonObject::add(std::string_view key, std::string_view value) {
    return raw(key, JsonString(value));
}

JsonObject& JsonObject::add(std::string_view key, int value) {
    return raw(key, std::to_string(value));
}

JsonObject& JsonObject::add(std::string_view key, bool value) {
    return raw(key, value ? "true" : "false");
}

JsonObject& JsonObject::addNull(std::string_view key) { return raw(key, "null"); }

JsonObject& JsonObject::add(const JsonObject& other) {
    if (!members_.empty() && !other.members_.empty()) members_ += ',';
    members_ += other.members_;
    return *this;
}

JsonObject& JsonObject::add(std::string_view key, const JsonObject& object) {
    return raw(key, object.text());
}

JsonObject& JsonObject::addStrings(std::string_view key, const std::vector<std::string>& values) {
    std::string list = "[";
    for (const std::string& value : values) {
        if (list.size() > 1) list += ',';
        list += JsonString(value);
    }
    return raw(key, list + "]");
}

}  // namespace cli
