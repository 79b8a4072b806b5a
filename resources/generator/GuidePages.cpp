#include "GuidePages.h"

#include "GuideParts.h"
#include "Painting.h"
#include "Photo.h"
#include "SmallIcons.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPolygonF>

namespace resgen
{
namespace
{

// The program's toolbar with "プリントへ追加" and the "注文ページへ" button; returns the button.
QRectF drawToolBar(QPainter &p)
{
    const QRectF bar(3.5, 3.5, 193, 24);
    p.save();
    p.setPen(QPen(QColor(0xa8, 0xb4, 0xc4), 0.8));
    QLinearGradient gbar(bar.topLeft(), bar.bottomLeft());
    gbar.setColorAt(0, QColor(0xfb, 0xfc, 0xfe));
    gbar.setColorAt(1, QColor(0xe2, 0xe8, 0xf0));
    p.setBrush(gbar);
    p.drawRoundedRect(bar, 3, 3);
    p.restore();
    const QFont barFont = uiFont(9);
    const QString addLabel = QStringLiteral("プリントへ追加");
    p.drawImage(QPointF(bar.left() + 5, bar.center().y() - 8), addPrintIcon());
    drawText(p, QRectF(bar.left() + 23, bar.top(), 70, bar.height()), addLabel, barFont,
             QColor(0x5a, 0x64, 0x74));
    const QString orderLabel = QStringLiteral("注文ページへ");
    const qreal ow = QFontMetricsF(uiFont(10, true)).horizontalAdvance(orderLabel);
    const QRectF button(bar.right() - ow - 16, bar.top() + 3, ow + 12, bar.height() - 6);
    p.save();
    QLinearGradient gbtn(button.topLeft(), button.bottomLeft());
    gbtn.setColorAt(0, accent.lighter(125));
    gbtn.setColorAt(1, accent.darker(108));
    p.setPen(QPen(accent.darker(140), 0.9));
    p.setBrush(gbtn);
    p.drawRoundedRect(button, 3, 3);
    p.restore();
    drawText(p, button.adjusted(0, -1, 0, 0), orderLabel, uiFont(10, true), Qt::white,
             Qt::AlignCenter);
    return button;
}

// The browser window, its dots and address field; returns the area the page fills.
QRectF drawBrowser(QPainter &p)
{
    const QRectF win(3.5, 35.5, 193, 111);
    p.save();
    drawWindowFrame(p, win, QColor(0xe4, 0xe8, 0xee));
    // Window dots and the address field.
    const QColor dots[] = {{0xe8, 0x5a, 0x4a}, {0xf2, 0xb8, 0x30}, {0x5a, 0xb8, 0x4a}};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(dots[i]);
        p.drawEllipse(QPointF(win.left() + 7 + i * 6, win.top() + 6.5), 2.1, 2.1);
    }
    const QRectF address(win.left() + 27, win.top() + 2.5, win.width() - 31, 9);
    p.setPen(QPen(QColor(0xb0, 0xb8, 0xc4), 0.7));
    p.setBrush(Qt::white);
    p.drawRoundedRect(address, 4.5, 4.5);
    p.restore();
    drawText(p, address.adjusted(5, -1, 0, 0), QStringLiteral("http://luminado.example/order.php"),
             uiFont(7), QColor(0x50, 0x5a, 0x6a));
    return QRectF(win.left() + 1, address.bottom() + 2.5, win.width() - 2,
                  win.bottom() - address.bottom() - 3.5);
}

// The order page's blue header; returns it.
QRectF drawOrderHeader(QPainter &p, const QRectF &page)
{
    const QRectF header(page.left(), page.top(), page.width(), 13);
    QLinearGradient gh(header.topLeft(), header.topRight());
    gh.setColorAt(0, brand);
    gh.setColorAt(1, brandDark);
    p.fillRect(header, gh);
    drawText(p, header.adjusted(5, -1, 0, 0), QStringLiteral("ルミナード  ご注文"), uiFont(9, true),
             Qt::white);
    return header;
}

// A drop-down box showing text.
void drawCombo(QPainter &p, const QRectF &r, const QString &text, const QFont &small)
{
    p.save();
    p.setPen(QPen(QColor(0x98, 0xa4, 0xb4), 0.8));
    p.setBrush(QColor(0xfa, 0xfb, 0xfd));
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x60, 0x6c, 0x7c));
    const QPointF c(r.right() - 4.5, r.center().y());
    QPolygonF tri;
    tri << c + QPointF(-2.2, -1.2) << c + QPointF(2.2, -1.2) << c + QPointF(0, 1.6);
    p.drawPolygon(tri);
    p.restore();
    drawText(p, r.adjusted(3, -1, -8, 0), text, small, ink);
}

// One line per added photo: the photo, a size box and a count box.
void drawOrderLines(QPainter &p, const QRectF &page, const QRectF &header)
{
    const QFont small = uiFont(8);
    const char *sizes[] = {"L判", "2L判", "L判"};
    const char *counts[] = {"1", "2", "1"};
    for (int i = 0; i < 3; ++i) {
        const qreal y = header.bottom() + 3 + i * 22;
        drawPrint(p, QRectF(page.left() + 5, y, 26, 19), i + 1, 1.0);
        drawText(p, QRectF(page.left() + 36, y + 1, 26, 17), QStringLiteral("サイズ"), small, ink);
        drawCombo(p, QRectF(page.left() + 62, y + 4, 34, 11), QString::fromUtf8(sizes[i]), small);
        drawText(p, QRectF(page.left() + 102, y + 1, 20, 17), QStringLiteral("枚数"), small, ink);
        drawCombo(p, QRectF(page.left() + 121, y + 4, 22, 11), QString::fromUtf8(counts[i]), small);
        if (i < 2) {
            p.setPen(QPen(QColor(0xe2, 0xe6, 0xec), 0.8));
            p.drawLine(QPointF(page.left() + 4, y + 20.5), QPointF(page.left() + 148, y + 20.5));
        }
    }
}

void drawOrderButton(QPainter &p, const QRectF &page)
{
    const QRectF orderBtn(page.right() - 40, page.bottom() - 19, 36, 15);
    p.save();
    p.setPen(QPen(accent.darker(140), 0.8));
    p.setBrush(accent);
    p.drawRoundedRect(orderBtn, 3, 3);
    p.restore();
    drawText(p, orderBtn.adjusted(0, -1, 0, 0), QStringLiteral("注文する"), uiFont(8, true),
             Qt::white, Qt::AlignCenter);
}

// A window holding one white list of thumbnails; returns the list's grid area.
QRectF thumbnailWindow(QPainter &p, const QString &caption)
{
    const QRectF client = drawWindow(p, QRectF(3.5, 3.5, 193, 143), caption);
    const QRectF list = client.adjusted(2, 2, -2, -2);
    whitePane(p, list);
    return list.adjusted(2, 3, -2, -2);
}

} // namespace

// Step 1: the folder tree on the left, one folder chosen, its photos filling the list.
QImage guidePage0()
{
    QImage img = guideCanvas();
    QPainter p(&img);
    smooth(p);
    const QRectF client = drawWindow(p, QRectF(3.5, 3.5, 193, 143), QStringLiteral("STEP 1"));
    const QRectF tree(client.left() + 2, client.top() + 2, 66, client.height() - 4);
    const QRectF list(tree.right() + 4, tree.top(), client.right() - tree.right() - 6,
                      tree.height());
    whitePane(p, tree);
    whitePane(p, list);

    struct Row {
        int indent;
        const char *name;
        bool expanded;
    };
    const Row rows[] = {{0, "デスクトップ", true},  {1, "ピクチャ", true}, {2, "旅行", false},
                        {2, "家族", false},         {2, "運動会", false},  {2, "花火", false},
                        {1, "ドキュメント", false}, {1, "音楽", false}};
    const int chosen = 2;
    const qreal rowH = 13;
    for (int i = 0; i < int(sizeof rows / sizeof rows[0]); ++i)
        treeRow(p, QRectF(tree.left() + 1, tree.top() + 3 + i * rowH, tree.width() - 2, rowH),
                rows[i].indent, QString::fromUtf8(rows[i].name), i == chosen, rows[i].expanded);

    // Thumbnails arriving one after another: the last ones are still fading in.
    const QRectF grid = list.adjusted(2, 3, -2, -2);
    for (int i = 0; i < 9; ++i) {
        const qreal opacity = i < 6 ? 1.0 : (i == 6 ? 0.55 : (i == 7 ? 0.3 : 0.12));
        drawThumbCell(p, gridCell(grid, 3, 40, i).adjusted(1, 1, -1, -1), i + 1, false, opacity);
    }

    const QPointF rowMid(tree.left() + 40, tree.top() + 3 + chosen * rowH + rowH / 2);
    drawCurvedArrow(p, QPointF(tree.right() - 1, rowMid.y() + 1),
                    QPointF(list.left() + 16, rowMid.y() + 30), -9, accent, 2.2);
    drawPointer(p, rowMid + QPointF(8, 1), 0.95);
    p.end();
    return img;
}

// Step 2: several photos selected, a rubber band being dragged, Shift and Ctrl as helpers.
QImage guidePage1()
{
    QImage img = guideCanvas();
    QPainter p(&img);
    smooth(p);
    const QRectF grid = thumbnailWindow(p, QStringLiteral("STEP 2"));
    const qreal cellH = 41;
    const bool selected[] = {false, true, true, false, false, true, true, false, true, false};
    for (int i = 0; i < 10; ++i)
        drawThumbCell(p, gridCell(grid, 4, cellH, i).adjusted(1, 1, -1, -1), i + 2, selected[i]);

    // The rubber band around cells 1, 2, 5, 6, dragged from top-left to bottom-right.
    const QRectF a = gridCell(grid, 4, cellH, 1), b = gridCell(grid, 4, cellH, 6);
    const QRectF band(a.left() + 5, a.top() + 6, b.right() - a.left() - 2,
                      b.bottom() - a.top() - 4);
    p.save();
    p.setBrush(QColor(0x33, 0x80, 0xe0, 45));
    p.setPen(QPen(selectBlue, 1.0, Qt::DashLine));
    p.drawRect(band);
    p.restore();
    drawPointer(p, band.bottomRight() - QPointF(0.5, 0.5), 0.95);

    // Shift / Ctrl caps where the last row of the folder ends.
    const QRectF keys(gridCell(grid, 4, cellH, 10).left() + 2,
                      gridCell(grid, 4, cellH, 10).top() + 6,
                      grid.right() - gridCell(grid, 4, cellH, 10).left() - 4, 26);
    drawKeyCap(p, QRectF(keys.left(), keys.top() + 4, 34, 18), QStringLiteral("Shift"));
    drawText(p, QRectF(keys.left() + 35, keys.top() + 4, 12, 18), QStringLiteral("/"),
             uiFont(11, true), ink, Qt::AlignCenter);
    drawKeyCap(p, QRectF(keys.left() + 48, keys.top() + 4, 32, 18), QStringLiteral("Ctrl"));
    p.end();
    return img;
}

// Step 3: right-click on the selection, the menu offers "画像をプリントに追加する".
QImage guidePage2()
{
    QImage img = guideCanvas();
    QPainter p(&img);
    smooth(p);
    const QRectF grid = thumbnailWindow(p, QStringLiteral("STEP 3"));
    const qreal cellH = 41;
    const bool selected[] = {true,  true,  false, false, true,  true,
                             false, false, false, false, false, false};
    for (int i = 0; i < 12; ++i)
        drawThumbCell(p, gridCell(grid, 4, cellH, i).adjusted(1, 1, -1, -1), i + 5, selected[i]);

    const QPointF click = gridCell(grid, 4, cellH, 4).center() + QPointF(2, -4);
    const QString label = QStringLiteral("画像をプリントに追加する");
    const QFont f = uiFont(10);
    const qreal tw = QFontMetricsF(f).horizontalAdvance(label);
    const QRectF menu(click.x() + 2, click.y() + 2, tw + 40, 22);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawRect(menu.translated(2, 2));
    p.setPen(QPen(QColor(0x8a, 0x96, 0xa8), 0.8));
    p.setBrush(QColor(0xfa, 0xfb, 0xfd));
    p.drawRect(menu);
    const QRectF item = menu.adjusted(2, 2, -2, -2);
    p.setPen(QPen(selectBlue.darker(115), 0.8));
    p.setBrush(QColor(0xc8, 0xdf, 0xfa));
    p.drawRoundedRect(item, 2, 2);
    p.restore();
    p.drawImage(QPointF(item.left() + 3, item.center().y() - 8), addPrintIcon());
    drawText(p, item.adjusted(23, -1, 0, 0), label, f, ink);

    drawPointer(p, QPointF(item.right() - 9, item.center().y() + 1), 0.95);
    p.end();
    return img;
}

// Step 4: press "注文ページへ"; the browser shows the order page with the photos added.
QImage guidePage3()
{
    QImage img = guideCanvas();
    QPainter p(&img);
    smooth(p);
    const QRectF button = drawToolBar(p);
    const QRectF page = drawBrowser(p);
    p.fillRect(page, Qt::white);
    const QRectF header = drawOrderHeader(p, page);
    drawOrderLines(p, page, header);
    drawOrderButton(p, page);

    drawCurvedArrow(p, QPointF(button.center().x() - 10, button.bottom() + 3),
                    QPointF(page.right() - 22, page.top() + 20), -10, accent, 2.2);
    drawPointer(p, QPointF(button.right() - 4, button.bottom() - 4), 0.95);
    p.end();
    return img;
}

} // namespace resgen
