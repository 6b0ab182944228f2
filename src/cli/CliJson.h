#pragma once

#include <charconv>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "analysis/Bootstrap.h"

// The JSON documents of the batch tool: objects printed two spaces deeper at each level.
namespace corvane::cli {

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

// An effect size, null when it is missing.
std::string JsonEffect(float x);

class JsonObject {
  public:
    explicit JsonObject(int indent) : m_indent(indent) {}
    // `jsonValue` is already JSON text.
    JsonObject& add(const std::string& key, const std::string& jsonValue) {
        m_fields.emplace_back(key, jsonValue);
        return *this;
    }
    std::string str() const;

  private:
    int m_indent;
    std::vector<std::pair<std::string, std::string>> m_fields;
};

std::string JsonGroup(const GroupStats& g);
// Null when no trial gave a value (`kept` is 0).
std::string JsonInterval(const Interval& interval, std::int32_t kept);

}  // namespace corvane::cli
