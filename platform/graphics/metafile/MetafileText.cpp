// The metafile player's text: the current font at the mapped height, aligned and advanced as
// the record says, in the character set of the font.
#include "platform/graphics/metafile/MetafilePlayer.h"

#include "platform/graphics/metafile/MetafileGeometry.h"

#include "platform/text/CharSetText.h"

#include <QFontMetricsF>
#include <cmath>

QFont TMetafilePlayer::qtFont(double PixelSize) const
{
    QFont font(state.Font.FaceName.isEmpty() ? QStringLiteral("sans-serif") : state.Font.FaceName);
    font.setPixelSize(std::max(1, int(std::lround(PixelSize))));
    font.setWeight(
        QFont::Weight(std::clamp(state.Font.Weight <= 0 ? 400 : state.Font.Weight, 1, 1000)));
    font.setItalic(state.Font.Italic);
    font.setUnderline(state.Font.Underline);
    font.setStrikeOut(state.Font.StrikeOut);
    font.setKerning(false);
    return font;
}

QString TMetafilePlayer::DecodeText(QByteArrayView Bytes) const
{
    return DecodeCharSet(Bytes, state.Font.CharSet);
}

void TMetafilePlayer::TextOut(QPointF Reference, const QString &Text,
                              const QVector<double> &Advances, quint32 Options, const QRectF &Box)
{
    QPainter::CompositionMode mode;
    if (path || !finite(full) || !composition(mode))
        return;
    const bool updateCp = state.TextAlign & 1;
    const QPointF at = full.map(updateCp ? state.Position : Reference);
    const double sx = xScale(full), sy = yScale(full);
    const double limit = std::min(16384.0, 4.0 * (rect.width() + rect.height()) + 64);
    double size = state.Font.Height == 0 ? 12.0 : std::abs(double(state.Font.Height)) * sy;
    if (!drawable(QRectF(at, at)) || size > limit || size < 0.5)
        return;
    QFont font = qtFont(size);
    if (state.Font.Height > 0) {
        // A positive height is the cell (ascent and descent), not the character.
        const QFontMetricsF cell(font);
        if (cell.ascent() + cell.descent() > 0)
            font = qtFont(size * size / (cell.ascent() + cell.descent()));
    }
    // The font's width is left alone: writers measure it with fonts of their own (LibreOffice
    // writes the height there), so glyphs keep their natural proportions.
    const QFontMetricsF fm(font);
    double width = 0;
    if (!Advances.isEmpty())
        for (double a : Advances)
            width += a * sx;
    else
        width = fm.horizontalAdvance(Text);

    painter.setTransform(base);
    painter.setCompositionMode(mode);
    if ((Options & ETO_OPAQUE) && drawable(full.mapRect(Box)))
        painter.fillRect(full.mapRect(Box.normalized()), QColor::fromRgb(state.BkColor));
    if (Options & ETO_CLIPPED)
        painter.setClipRect(full.mapRect(Box.normalized()), Qt::IntersectClip);

    painter.translate(at);
    painter.rotate(-(state.Font.Escapement / 10.0));
    const quint32 h = state.TextAlign & TA_HORIZONTAL_MASK, v = state.TextAlign & TA_VERTICAL_MASK;
    const double x0 = h == TA_CENTER ? -width / 2 : h == TA_RIGHT ? -width : 0;
    const double baseline = v == TA_BASELINE ? 0 : v == TA_BOTTOM ? -fm.descent() : fm.ascent();
    if (state.BkOpaque)
        painter.fillRect(QRectF(x0, baseline - fm.ascent(), width, fm.ascent() + fm.descent()),
                         QColor::fromRgb(state.BkColor));
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(state.TextColor));
    // The background behind the text is filled above, as the mode says; Qt would otherwise
    // fill it again whenever the last shape left the painter opaque.
    painter.setBackgroundMode(Qt::TransparentMode);
    if (Advances.isEmpty()) {
        painter.drawText(QPointF(x0, baseline), Text);
    } else {
        double x = x0;
        for (qsizetype i = 0; i < Text.size(); ++i) {
            const bool pair = Text[i].isHighSurrogate() && i + 1 < Text.size();
            painter.drawText(QPointF(x, baseline), Text.mid(i, pair ? 2 : 1));
            x += (i < Advances.size() ? Advances[i] : 0) * sx;
            if (pair)
                x += (++i < Advances.size() ? Advances[i] : 0) * sx;
        }
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (Options & ETO_CLIPPED)
        applyClip();
    else
        painter.setTransform(full * base);
    if (updateCp && sx > 0)
        state.Position += QPointF(width / sx * (full.m11() < 0 ? -1 : 1), 0);
}
