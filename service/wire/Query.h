#pragma once
// Query strings and form bodies (name=value&...), taken apart from their raw bytes.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace service
{

class Query
{
public:
    Query() = default;
    // Each name and value is percent-decoded; values stay in the bytes the client sent.
    static Query parse(std::string_view raw);

    bool has(std::string_view name) const;
    // The first value of name, or fallback when there is none.
    std::string value(std::string_view name, std::string fallback = {}) const;
    std::vector<std::string> values(std::string_view name) const;
    const std::vector<std::pair<std::string, std::string>> &items() const { return items_; }
    void add(std::string name, std::string value);

private:
    std::vector<std::pair<std::string, std::string>> items_;
};

// The query string of a request target, exactly as it came ("" when there is no "?").
std::string rawQueryOf(std::string_view target);

// A decimal id as the service hands them out: 1 to 9 digits, nothing else.
bool parseId(std::string_view text, int &id);

} // namespace service
