#include "service/wire/Query.h"

#include "service/wire/ShiftJis.h"

namespace service
{

Query Query::parse(std::string_view raw)
{
    Query q;
    size_t pos = 0;
    while (pos <= raw.size()) {
        size_t end = raw.find('&', pos);
        if (end == std::string_view::npos)
            end = raw.size();
        std::string_view item = raw.substr(pos, end - pos);
        if (!item.empty()) {
            size_t eq = item.find('=');
            if (eq == std::string_view::npos)
                q.add(percentDecode(item), std::string());
            else
                q.add(percentDecode(item.substr(0, eq)), percentDecode(item.substr(eq + 1)));
        }
        pos = end + 1;
    }
    return q;
}

bool Query::has(std::string_view name) const
{
    for (const auto &[n, v] : items_)
        if (n == name)
            return true;
    return false;
}

std::string Query::value(std::string_view name, std::string fallback) const
{
    for (const auto &[n, v] : items_)
        if (n == name)
            return v;
    return fallback;
}

std::vector<std::string> Query::values(std::string_view name) const
{
    std::vector<std::string> out;
    for (const auto &[n, v] : items_)
        if (n == name)
            out.push_back(v);
    return out;
}

void Query::add(std::string name, std::string value)
{
    items_.emplace_back(std::move(name), std::move(value));
}

std::string rawQueryOf(std::string_view target)
{
    size_t q = target.find('?');
    if (q == std::string_view::npos)
        return std::string();
    std::string_view rest = target.substr(q + 1);
    size_t hash = rest.find('#');
    return std::string(rest.substr(0, hash));
}

bool parseId(std::string_view text, int &id)
{
    if (text.empty() || text.size() > 9)
        return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    id = v;
    return true;
}

} // namespace service
