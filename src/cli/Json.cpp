#include "cli/Json.h"

#include <cstdio>

namespace cli {

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
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
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
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
