// Name order: the listing's order agrees with the collator (numeric, case-insensitive) on
// every kind of name, ASCII ones taking their quick path included.
#include "platform/text/NameOrder.h"

#include <QCollator>
#include <QLocale>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace
{
void expectCollatorOrder(const std::vector<QString> &names)
{
    const std::vector<size_t> order = NameOrder(names);
    ASSERT_EQ(order.size(), names.size());
    const QCollator collator = NameCollator();
    for (size_t i = 1; i < order.size(); ++i) {
        const QString &a = names[order[i - 1]], &b = names[order[i]];
        const int c = collator.compare(a, b);
        ASSERT_TRUE(c < 0 || (c == 0 && a <= b))
            << a.toStdString() << " before " << b.toStdString() << " (collator says " << c << ")";
    }
}
} // namespace

TEST(NameOrder, AgreesWithTheCollatorOnAsciiAndOtherNames)
{
    std::vector<QString> fixed{"IMG_10.jpg", "img_2.JPG", "IMG_2.jpg", "IMG_002.jpg", "a b.txt",
                               "a-b.txt",    "ab.txt",    "a_b.txt",   "A.txt",       "a.txt",
                               "0",          "00",        "007",       "7",           "x9y",
                               "x10y",       "x09z",      "~",         "!",           ""};
    expectCollatorOrder(fixed);
    const std::vector<size_t> order = NameOrder({"IMG_10", "IMG_2", "img_3"});
    EXPECT_EQ(order, (std::vector<size_t>{1, 2, 0}));

    // Random printable ASCII names, dense in digits, case pairs and punctuation.
    const QString alphabet = QStringLiteral("0123456789aAbBzZ _-.,()[]~!#$%&'+=@^`{};");
    QRandomGenerator random(12);
    std::vector<QString> names;
    for (int i = 0; i < 4000; ++i) {
        QString name;
        const int length = int(random.bounded(1, 10));
        for (int k = 0; k < length; ++k)
            name += alphabet[int(random.bounded(int(alphabet.size())))];
        names.push_back(name);
    }
    expectCollatorOrder(names);
    // One Japanese name among them sends every name through the collator.
    names.push_back(QStringLiteral("写真10.jpg"));
    names.push_back(QStringLiteral("写真9.jpg"));
    expectCollatorOrder(names);
}
