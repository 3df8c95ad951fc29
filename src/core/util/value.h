#pragma once
// A database field value as the data sets hand it out.
#include <cstdint>
#include <string>
#include <variant>

namespace orv {

struct Null {
    bool operator==(const Null&) const = default;
};
struct Blob {
    std::string bytes;
    bool operator==(const Blob&) const = default;
};

// monostate = unassigned (never read from a row); Null = SQL NULL.
using Value = std::variant<std::monostate, Null, std::int64_t, double, std::string, Blob>;

inline bool IsNull(const Value& v) {
    return std::holds_alternative<Null>(v) || std::holds_alternative<std::monostate>(v);
}

// Text form of a value: NULL reads as the empty text, numbers in their decimal form.
std::string ValueToText(const Value& v);

}  // namespace orv
