#pragma once

#include <charconv>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

// The batch tool's JSON documents: objects printed two spaces deeper at each level.
namespace corvane {

// A JSON string; text that is not UTF-8 is read as Windows-1252.
std::string JsonString(const std::string& raw);

// The shortest decimal text that reads back as exactly the same value; null when not finite.
template <class T>
std::string JsonNumber(T x) {
    if (!std::isfinite(x)) return "null";
    char buffer[64];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, x);
    if (ec != std::errc()) return "null";
    return std::string(buffer, ptr);
}

// A value that may be missing, null when it is.
std::string JsonMissingOr(float x);

// A variable's name from the file's first line; null for one the line left unnamed.
std::string JsonName(const std::string& name);

class JsonObject {
  public:
    explicit JsonObject(int indent) : m_indent(indent) {}
    // `jsonValue` is already JSON text.
    JsonObject& add(const std::string& key, const std::string& jsonValue) {
        m_fields.emplace_back(key, jsonValue);
        return *this;
    }
    JsonObject& addIf(bool wanted, const std::string& key, const std::string& jsonValue) {
        return wanted ? add(key, jsonValue) : *this;
    }
    std::string str() const;

  private:
    int m_indent;
    std::vector<std::pair<std::string, std::string>> m_fields;
};

}  // namespace corvane
