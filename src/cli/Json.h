// One JSON object on one line, its members in the order they are added: what --json prints.
// Texts must be UTF-8; what a reader sends is decoded from its code page before it gets here.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// `text` as a JSON string, quotes included. Control characters are escaped, so a line never
// breaks inside an object; a byte that starts no UTF-8 character is U+FFFD, so the line is
// always UTF-8. (Reader bytes come already in the form of platform::BytesAsText: "\xHH".)
std::string JsonString(std::string_view text);

class JsonObject {
public:
    JsonObject& add(std::string_view key, std::string_view value);
    JsonObject& add(std::string_view key, const char* value) {
        return add(key, std::string_view(value));
    }
    JsonObject& add(std::string_view key, const std::string& value) {
        return add(key, std::string_view(value));
    }
    JsonObject& add(std::string_view key, int value);
    JsonObject& add(std::string_view key, bool value);
    JsonObject& addNull(std::string_view key);
    JsonObject& addStrings(std::string_view key, const std::vector<std::string>& values);
    // The value when there is one, else null.
    template <typename T>
    JsonObject& add(std::string_view key, const std::optional<T>& value) {
        return value ? add(key, *value) : addNull(key);
    }

    // The other object's members after these.
    JsonObject& add(const JsonObject& other);
    // The other object as one member.
    JsonObject& add(std::string_view key, const JsonObject& object);

    std::string text() const { return "{" + members_ + "}"; }

private:
    JsonObject& raw(std::string_view key, const std::string& json);
    std::string members_;
};

}  // namespace cli
