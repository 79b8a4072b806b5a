#include "service/wire/LineRecord.h"

namespace service
{

std::string cleanField(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n')
            out.push_back(c);
    // Removing one separator can join the halves of another; repeat until none is left.
    for (size_t at = out.find(kFieldSeparator); at != std::string::npos;
         at = out.find(kFieldSeparator))
        out.erase(at, kFieldSeparator.size());
    return out;
}

std::string lineRecord(const std::vector<std::string> &fields)
{
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i)
            out.append(kFieldSeparator);
        out.append(cleanField(fields[i]));
    }
    return out;
}

std::string joinLines(const std::vector<std::string> &lines)
{
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out.append(kLineBreak);
        out.append(lines[i]);
    }
    return out;
}

std::vector<std::string> splitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> splitFields(std::string_view line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t at = line.find(kFieldSeparator, start);
        if (at == std::string_view::npos) {
            fields.emplace_back(line.substr(start));
            return fields;
        }
        fields.emplace_back(line.substr(start, at - start));
        start = at + kFieldSeparator.size();
    }
}

} // namespace service
