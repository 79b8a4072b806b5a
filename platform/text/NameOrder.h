#pragma once
// Name order, the order in which this platform's folders are listed: numeric-aware and
// case-insensitive, the way Linux file managers sort (IMG_2 before IMG_10, "a" beside "A").
// Windows file systems enumerate in name order; ext4 and its kin enumerate in hash order, so
// the listing sorts to show what users coming from Windows expect.
#include <QCollator>
#include <QString>
#include <functional>
#include <vector>

// The collator of name order: the desktop's language (Japanese in the C locale), numbers
// compared by value, case ignored.
QCollator NameCollator();

// The positions of names in name order. between runs after each name's key is made, so a
// caller can keep its window responsive through a long folder.
std::vector<size_t> NameOrder(const std::vector<QString> &names,
                              const std::function<void()> &between = {});
