// Painted text keeps sizes between whole pixels: measured and drawn ink lie
// between the neighbouring whole sizes, for Latin and for Chinese fallback
// text, with letter spacing, elision and wrapping intact; field roles stay at
// the whole size the toolkit draws the field in.
#include <gtest/gtest.h>

#include <optional>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "interface/SmallControls.h"
#include "interface/Style.h"
#include "interface/TextFace.h"

namespace corvanta {
namespace {

using style::TextFace;
using style::TextRole;

const QString kSubtitle = QStringLiteral("Shortcut library");
const QString kChinese = QStringLiteral("快捷键库");

// Columns and rows holding ink, at a device pixel ratio of 1.
struct Ink {
    int left = -1, right = -1, top = -1, bottom = -1;
    bool empty() const { return left < 0; }
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

Ink inkOf(const QImage& image) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            // Faint antialiasing does not count: what a reader sees.
            if (qAlpha(image.pixel(x, y)) < 64)
                continue;
            ink.left = ink.left < 0 ? x : std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = ink.top < 0 ? y : ink.top;
            ink.bottom = y;
        }
    }
    return ink;
}

QImage transparentImage(int width = 240, int height = 60) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

Ink drawnInk(const TextFace& face, const QString& text) {
    QImage image = transparentImage();
    QPainter painter(&image);
    face.drawAt(painter, QPointF(10, 40), text, Qt::black);
    painter.end();
    return inkOf(image);
}

TEST(TextFace, HalfPointTextMeasuresAndDrawsBetweenItsWholeNeighbours) {
    const TextFace& half = style::face(TextRole::headerPackSubtitle);
    ASSERT_EQ(half.points(), 9.5);
    EXPECT_TRUE(half.fractional());
    const TextFace& nine = style::face(9, style::Weight::regular);
    const TextFace& ten = style::face(10, style::Weight::regular);
    EXPECT_FALSE(ten.fractional());

    const double width = half.width(kSubtitle);
    EXPECT_GT(width, nine.width(kSubtitle));
    EXPECT_LT(width, ten.width(kSubtitle));
    EXPECT_GT(half.height(), nine.height());
    EXPECT_LT(half.height(), ten.height());

    const Ink ink = drawnInk(half, kSubtitle);
    ASSERT_FALSE(ink.empty());
    EXPECT_NEAR(ink.width(), width, 1.0);
    EXPECT_LT(ink.width(), drawnInk(ten, kSubtitle).width());
    EXPECT_GT(ink.width(), drawnInk(nine, kSubtitle).width());
}

TEST(TextFace, ChineseFallbackTextDrawsAtTheFractionalSizeToo) {
    const TextFace& half = style::face(9.5, style::Weight::regular);
    const TextFace& ten = style::face(10, style::Weight::regular);
    const double width = half.width(kChinese);
    EXPECT_LT(width, ten.width(kChinese) - 1);
    const Ink ink = drawnInk(half, kChinese);
    const Ink whole = drawnInk(ten, kChinese);
    ASSERT_FALSE(ink.empty());
    EXPECT_LT(ink.width(), whole.width());
    EXPECT_NEAR(ink.width(), width, 2.0);
    // Mixed text: the fallback run shares the Latin run's baseline.
    const Ink latin = drawnInk(half, QStringLiteral("LIBRARY"));
    const Ink chinese = drawnInk(half, QStringLiteral("库"));
    const Ink mixed = drawnInk(half, QStringLiteral("LIBRARY 库"));
    EXPECT_EQ(mixed.top, std::min(latin.top, chinese.top));
    EXPECT_EQ(mixed.bottom, std::max(latin.bottom, chinese.bottom));
}

TEST(TextFace, TrackingIsKeptAtFractionalSizes) {
    const style::TypeRole role = style::typeRole(TextRole::sectionHeader);
    ASSERT_GT(role.tracking, 0);
    const TextFace& tracked = style::face(TextRole::sectionHeader);
    ASSERT_TRUE(tracked.fractional());
    const TextFace plain(role.points, role.weight, role.design);
    const QString text = QStringLiteral("FAVORITES");
    const double expected = role.tracking * text.size();
    EXPECT_NEAR(tracked.width(text) - plain.width(text), expected, 0.3);
    const int drawnGap = drawnInk(tracked, text).width() - drawnInk(plain, text).width();
    EXPECT_NEAR(drawnGap, role.tracking * (text.size() - 1), 1.5);
}

TEST(TextFace, ElidedAndWrappedTextKeepsToItsBox) {
    const TextFace& face = style::face(TextRole::pickerHint);
    ASSERT_TRUE(face.fractional());
    const QString text = QStringLiteral("Choose the software whose shortcuts the panel shows");
    const QString elided = face.elided(text, 80);
    EXPECT_TRUE(elided.endsWith(QChar(0x2026)));
    EXPECT_LE(face.width(elided), 80);

    QImage image = transparentImage();
    QPainter painter(&image);
    const QRectF line(10, 5, 80, face.height());
    face.drawLine(painter, line, text, Qt::black);
    painter.end();
    const Ink ink = inkOf(image);
    ASSERT_FALSE(ink.empty());
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 90);
    EXPECT_GT(ink.right, 70);

    const QSizeF wrapped = face.wrappedSize(text, 120);
    EXPECT_LE(wrapped.width(), 120);
    EXPECT_GE(wrapped.height(), 2 * face.height());
    QImage block = transparentImage(240, 80);
    QPainter blockPainter(&block);
    face.drawWrapped(blockPainter, QRectF(10, 0, 120, 80), text, Qt::black,
                     Qt::AlignLeft | Qt::AlignVCenter);
    blockPainter.end();
    const Ink blockInk = inkOf(block);
    ASSERT_FALSE(blockInk.empty());
    EXPECT_LE(blockInk.right, 130);
    EXPECT_GT(blockInk.height(), 2 * face.ascent());
    // Centred as a block: as much room above as below, to a pixel.
    EXPECT_NEAR(blockInk.top, 80 - 1 - blockInk.bottom, 3);
}

TEST(TextFace, FieldRolesStayAtTheWholeSizeTheirFieldIsDrawnIn) {
    for (const TextRole role : {TextRole::searchQuery, TextRole::pickerSearch,
                                TextRole::sheetNameField, TextRole::sheetTextArea}) {
        const style::TypeRole type = style::typeRole(role);
        EXPECT_TRUE(type.field);
        const TextFace& face = style::face(role);
        EXPECT_FALSE(face.fractional());
        const QFont field = style::font(role);
        EXPECT_EQ(face.points(), QFontInfo(field).pixelSize());
        // The prompt painted in the picker's field measures as typed text.
        EXPECT_DOUBLE_EQ(face.width(kSubtitle), QFontMetricsF(field).horizontalAdvance(kSubtitle));
    }
    EXPECT_FALSE(style::typeRole(TextRole::headerPackSubtitle).field);
}

TEST(TextFace, ControlsSizeThemselvesByTheFractionalMetrics) {
    const ThemeColors& colors = ThemeColors::forTheme(AppTheme::dark);
    FilterButton button;
    const QString title = QStringLiteral("Favorites and more");
    button.setContent(title, std::nullopt, false, colors);
    const double rounded =
        QFontMetricsF(style::font(TextRole::filterTitle)).horizontalAdvance(title);
    const double exact = style::face(TextRole::filterTitle).width(title);
    ASSERT_LT(exact, rounded - 2);
    EXPECT_NEAR(button.width(), 18 + exact, 1.0);
}

// A whole-size line told the colour beneath it is drawn from a kept pixmap;
// its pixels must be those of drawing it directly, wherever it starts between
// whole pixels and however often it is drawn.
TEST(TextFace, KeptLinesPaintExactlyWhatDrawingThemWould) {
    const TextFace& face = style::face(TextRole::rowTitle);
    ASSERT_FALSE(face.fractional());
    const QColor under(0x0F, 0x0F, 0x0F);
    const QColor ink(0xF4, 0xF4, 0xF4);
    const auto draw = [&](const QString& text, const QRectF& rect, bool kept, QColor fill) {
        QImage image = transparentImage(260, 48);
        image.fill(fill);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(3, 5);
        face.drawLine(painter, rect, text, ink, Qt::AlignLeft | Qt::AlignVCenter,
                      kept ? under : QColor());
        painter.end();
        return image;
    };
    const QString texts[] = {QStringLiteral("Rectangle tool"), QStringLiteral("选择全部图层"),
                             QStringLiteral("A title far too long to fit the box it is given")};
    for (const QString& text : texts) {
        for (const QPointF origin : {QPointF(12, 4), QPointF(12.25, 4.5), QPointF(30.75, 3.25)}) {
            const QRectF rect(origin, QSizeF(180, 30));
            const QImage direct = draw(text, rect, false, under);
            EXPECT_EQ(draw(text, rect, true, under), direct) << text.toStdString();
            EXPECT_EQ(draw(text, rect, true, under), direct) << "drawn again from the pixmap";
        }
    }
    // The pixmap path is the one taken: it brings the colour it was told of.
    const QRectF rect(12, 4, 180, 30);
    const QImage onRed = draw(texts[0], rect, true, Qt::red);
    EXPECT_EQ(onRed.pixelColor(20, 10), under);
    EXPECT_EQ(draw(texts[0], rect, false, Qt::red).pixelColor(20, 10), QColor(Qt::red));
}

// Kept lines are found by what their face draws with: a face made where a
// freed one lived must not be handed the old face's pixmaps.
TEST(TextFace, AFaceMadeInAFreedFacesPlaceDrawsItsOwnLines) {
    const QColor under(0x0F, 0x0F, 0x0F);
    const QRectF rect(4, 2, 220, 44);
    const QString text = QStringLiteral("Rectangle tool");
    const auto draw = [&](const TextFace& face, bool kept) {
        QImage image = transparentImage(240, 48);
        image.fill(under);
        QPainter painter(&image);
        face.drawLine(painter, rect, text, Qt::white, Qt::AlignLeft | Qt::AlignVCenter,
                      kept ? under : QColor());
        painter.end();
        return image;
    };
    std::optional<TextFace> face;
    face.emplace(12);
    const void* place = &*face;
    const QImage small = draw(*face, true);
    face.reset();
    face.emplace(30);
    ASSERT_EQ(&*face, place);
    const QImage large = draw(*face, true);
    EXPECT_NE(large, small);
    EXPECT_EQ(large, draw(*face, false));
}

}  // namespace
}  // namespace corvanta
