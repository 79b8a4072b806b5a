#include "platform/NameOrder.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <algorithm>
#include <numeric>

std::vector<size_t> NameOrder(const std::vector<QString> &names,
                              const std::function<void()> &between)
{
    // The C locale collates by code point (no numbers, no case folding); a desktop in that
    // locale sorts as the system's Japanese users' desktops do.
    const QLocale system;
    QCollator collator(system.language() == QLocale::C ? QLocale(QLocale::Japanese, QLocale::Japan)
                                                       : system);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // One sort key per name: comparing keys is far cheaper than collating names each time.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const QString &name : names) {
        keys.push_back(collator.sortKey(name));
        if (between)
            between();
    }
    std::vector<size_t> order(names.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int c = keys[a].compare(keys[b]);
        if (c != 0)
            return c < 0;
        // Names that differ only in case keep one fixed order.
        return names[a] < names[b];
    });
    return order;
}
