#include "platform/text/NameOrder.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <string>
#include <string_view>

namespace
{
// Most names are printable ASCII, for which the collator's order is plain: one weight per
// character (letters of either case alike) and digit runs compared as numbers. Such a name
// gets a byte key of those weights, built from the collator's own order of the characters,
// that compares like the collator's key at a fraction of its cost.
class AsciiKeys
{
public:
    explicit AsciiKeys(const QCollator &collator)
    {
        std::vector<char> chars;
        for (char c = ' '; c <= '~'; ++c)
            if (c < '1' || c > '9') // '0' stands for the digits
                chars.push_back(c);
        const auto text = [](char c) { return QString(QLatin1Char(c)); };
        std::stable_sort(chars.begin(), chars.end(),
                         [&](char a, char b) { return collator.compare(text(a), text(b)) < 0; });
        uint8_t next = 0;
        for (size_t i = 0; i < chars.size(); ++i) {
            if (i == 0 || collator.compare(text(chars[i - 1]), text(chars[i])) != 0)
                ++next;
            weight[static_cast<unsigned char>(chars[i])] = next;
        }
        for (char d = '1'; d <= '9'; ++d)
            weight[static_cast<unsigned char>(d)] = weight['0'];
    }

    // Appends the key to keys; false (keys unchanged) when the name is not printable ASCII or
    // has an unusually long number.
    bool AppendKey(const QString &name, std::string &keys) const
    {
        const size_t start = keys.size();
        auto refuse = [&] {
            keys.resize(start);
            return false;
        };
        std::string &key = keys;
        const qsizetype n = name.size();
        for (qsizetype i = 0; i < n;) {
            const char16_t c = name[i].unicode();
            if (c < u' ' || c > u'~')
                return refuse();
            if (c < u'0' || c > u'9') {
                key += char(weight[c]);
                ++i;
                continue;
            }
            // A number: its weight, its count of significant digits, the digits.
            qsizetype end = i;
            while (end < n && name[end] >= u'0' && name[end] <= u'9')
                ++end;
            qsizetype first = i;
            while (first < end && name[first] == u'0')
                ++first;
            if (end - first > 60)
                return refuse();
            key += char(weight['0']);
            key += char(end - first + 1);
            for (qsizetype k = first; k < end; ++k)
                key += char(name[k].unicode());
            i = end;
        }
        return true;
    }

private:
    std::array<uint8_t, 128> weight{};
};
} // namespace

std::vector<size_t> NameOrder(const std::vector<QString> &names,
                              const std::function<void()> &between)
{
    static const AsciiKeys ascii(NameCollator());
    std::vector<size_t> order(names.size());
    std::iota(order.begin(), order.end(), size_t{0});

    // Keys made once per name, side by side in one buffer; their first sixteen bytes, read as
    // two numbers held with the item, decide most comparisons without touching the buffer.
    struct Item {
        uint64_t head[2];
        uint32_t offset, length;
        uint32_t index;
    };
    std::string keys;
    keys.reserve(names.size() * 16);
    std::vector<Item> items(names.size());
    bool allAscii = true;
    for (size_t i = 0; i < names.size() && allAscii; ++i) {
        const size_t offset = keys.size();
        allAscii = ascii.AppendKey(names[i], keys) && keys.size() < UINT32_MAX;
        Item &item = items[i];
        item.offset = uint32_t(offset);
        item.length = uint32_t(keys.size() - offset);
        item.index = uint32_t(i);
        for (uint32_t part = 0; part < 2; ++part) {
            uint64_t head = 0;
            for (uint32_t k = part * 8; k < part * 8 + 8; ++k)
                head = head << 8 |
                       (k < item.length ? static_cast<unsigned char>(keys[offset + k]) : 0u);
            item.head[part] = head;
        }
        if (between)
            between();
    }
    if (allAscii && names.size() < UINT32_MAX) {
        const std::string_view all(keys);
        std::sort(items.begin(), items.end(), [&](const Item &x, const Item &y) {
            if (x.head[0] != y.head[0])
                return x.head[0] < y.head[0];
            if (x.head[1] != y.head[1])
                return x.head[1] < y.head[1];
            if (x.length > 16 || y.length > 16) {
                const int c =
                    all.substr(x.offset, x.length).compare(all.substr(y.offset, y.length));
                if (c != 0)
                    return c < 0;
            } else if (x.length != y.length) {
                return x.length < y.length;
            }
            // Names that differ only in case keep one fixed order.
            return names[x.index] < names[y.index];
        });
        for (size_t i = 0; i < items.size(); ++i)
            order[i] = items[i].index;
        return order;
    }

    // Some name is more than printable ASCII: the collator's own keys for all of them.
    const QCollator collator = NameCollator();
    std::vector<QCollatorSortKey> full;
    full.reserve(names.size());
    for (const QString &name : names) {
        full.push_back(collator.sortKey(name));
        if (between)
            between();
    }
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int c = full[a].compare(full[b]);
        if (c != 0)
            return c < 0;
        return names[a] < names[b];
    });
    return order;
}

// The C locale collates by code point (no numbers, no case folding); a desktop in that locale
// sorts as our Japanese users' desktops do.
QCollator NameCollator()
{
    const QLocale system;
    QCollator collator(system.language() == QLocale::C ? QLocale(QLocale::Japanese, QLocale::Japan)
                                                       : system);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}
