#include "platform/core/inifile.h"
#include "seatmap/cellsprites.h"
#include "seatmap/fontsubstitution.h"
#include "seatmap/seatmapconfig.h"
#include "seatmap/seatmapshow.h"
#include "seatmap/showshapes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace kav;

namespace {

constexpr QRgb kPaper = 0xFFFFFFFF;
constexpr QRgb kInk = 0xFF0000FF; // blue pen and brush

// Paints with `draw` into a white 20 x 20 image in blue, the cell at (2, 2) of size w x h.
template <typename Draw> QImage Paint(int w, int h, Draw draw) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(kPaper);
    QPainter painter(&image);
    painter.setPen(QColor(kInk));
    painter.setBrush(QColor(kInk));
    draw(painter, QRect(2, 2, w, h));
    return image;
}

bool Inked(const QImage& image, int x, int y) {
    return image.pixel(x, y) != kPaper;
}

// The painted area's bounds.
QRect Bounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Inked(image, x, y)) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Whether every pixel of `image` outside `inside` is `ground`.
bool OnlyInside(const QImage& image, const QRect& inside, QRgb ground) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!inside.contains(x, y) && image.pixel(x, y) != ground) return false;
    return true;
}

int Distance(TColor a, TColor b) {
    const QColor x = ToQColor(a), y = ToQColor(b);
    return std::abs(x.red() - y.red()) + std::abs(x.green() - y.green()) + std::abs(x.blue() - y.blue());
}

} // namespace

class PaintingTest : public QObject {
    Q_OBJECT

private slots:
    // Every shape but the two triangles whose corners lie on Bottom stays inside its cell (Right and
    // Bottom exclusive, as the seat map's one-pixel gaps need), and its characteristic pixels are where
    // the geometry puts them.
    void shapesStayInTheirCell() {
        using Painter = void (*)(QPainter&, const QRect&);
        const std::pair<const char*, Painter> shapes[] = {{"F", DrawShowFShape},
                                                          {"O", DrawShowOShape},
                                                          {"A", DrawShowAShape},
                                                          {"G", DrawShowGShape},
                                                          {"C", DrawShowCShape}};
        for (const auto& [name, paint] : shapes) {
            const QImage image = Paint(12, 14, [&](QPainter& p, const QRect& r) { paint(p, r); });
            QVERIFY2(QRect(2, 2, 12, 14).contains(Bounds(image)), name);
            QVERIFY2(Inked(image, 8, 9), name); // the centre
        }
        // F and O: the rounded corners leave the corner pixels free but fill the edge midpoints.
        const QImage f = Paint(12, 14, [](QPainter& p, const QRect& r) { DrawShowFShape(p, r); });
        QVERIFY(!Inked(f, 2, 2));
        QVERIFY(Inked(f, 2, 9));
        QVERIFY(Inked(f, 8, 2));
        QVERIFY(Inked(f, 13, 9));
        QVERIFY(Inked(f, 8, 15));
        // A: the red dot is the square (cx-2, cy-2)..(cx+1, cy+1) with cx = 8, cy = 9.
        const QImage a = Paint(12, 14, [](QPainter& p, const QRect& r) { DrawShowAShape(p, r); });
        QCOMPARE(a.pixel(6, 7), QColor(Qt::red).rgb());
        QCOMPARE(a.pixel(9, 10), QColor(Qt::red).rgb());
        QCOMPARE(a.pixel(10, 9), kInk);
        // G: right angle at bottom left, the top right corner is free.
        const QImage g = Paint(12, 14, [](QPainter& p, const QRect& r) { DrawShowGShape(p, r); });
        QVERIFY(Inked(g, 2, 2) && Inked(g, 2, 15) && Inked(g, 12, 15));
        QVERIFY(!Inked(g, 12, 4));
        // T: points right at mid height.
        const QImage t = Paint(12, 14, [](QPainter& p, const QRect& r) { DrawShowTShape(p, r); });
        QVERIFY(Inked(t, 13, 9) && Inked(t, 2, 16) && Inked(t, 8, 9));
        QVERIFY(!Inked(t, 13, 3) && !Inked(t, 13, 14));
        // C: radius min(12, 14) div 2 = 6 around (8, 9); the cell corners are free.
        const QImage c = Paint(12, 14, [](QPainter& p, const QRect& r) { DrawShowCShape(p, r); });
        QVERIFY(Inked(c, 2, 9) && Inked(c, 8, 3) && Inked(c, 8, 14));
        QVERIFY(!Inked(c, 3, 3) && !Inked(c, 8, 2) && !Inked(c, 8, 15));
        // B reaches the exclusive corner (Right, Bottom) by its definition.
        const QImage b = Paint(12, 14, [](QPainter& p, const QRect& r) { DrawShowBShape(p, r); });
        QVERIFY(Inked(b, 8, 2) && Inked(b, 2, 16) && Inked(b, 13, 16));
        QVERIFY(!Inked(b, 3, 4) && !Inked(b, 13, 4));
    }

    void flagsDrawBlackLines() {
        const auto flagged = [](const char* flag) {
            return Paint(12, 14, [flag](QPainter& p, const QRect& r) { DrawShowFlag(p, r, flag); });
        };
        const QRgb black = QColor(Qt::black).rgb();
        // W: vertical lines at x = 2 + 3 and 2 + 9.
        const QImage w = flagged("W");
        for (int y = 2; y <= 15; ++y)
            QVERIFY(w.pixel(5, y) == black && w.pixel(11, y) == black);
        QCOMPARE(Bounds(w), QRect(5, 2, 7, 14));
        // X: both diagonals from corner to corner.
        const QImage x = flagged("X");
        QVERIFY(x.pixel(2, 2) == black && x.pixel(13, 15) == black && x.pixel(13, 2) == black &&
                x.pixel(2, 15) == black);
        QVERIFY(!Inked(x, 8, 3));
        // Y: a V with its point at ((Left+Right-1) div 2, Bottom-1).
        const QImage y = flagged("Y");
        QVERIFY(y.pixel(2, 2) == black && y.pixel(7, 15) == black && y.pixel(13, 2) == black);
        QVERIFY(!Inked(y, 7, 3));
        // Z: a cross through (8, 9).
        const QImage z = flagged("Z");
        QVERIFY(z.pixel(2, 9) == black && z.pixel(13, 9) == black && z.pixel(8, 2) == black &&
                z.pixel(8, 15) == black);
        QVERIFY(!Inked(z, 3, 3));
        // Only the exact upper-case letters draw.
        for (const char* other : {"w", "", "WX", "A"})
            QVERIFY2(Bounds(flagged(other)).isEmpty(), other);
    }

    void innerDrawShapeUpperCasesAndFallsBackToF() {
        const auto shaped = [](const char* shape) {
            return Paint(12, 14, [shape](QPainter& p, const QRect& r) {
                TKavSeatMapConfig::InnerDrawShape(p, r, shape);
            });
        };
        QCOMPARE(shaped("c"), shaped("C"));
        QCOMPARE(shaped("t"), shaped("T"));
        QCOMPARE(shaped("X"), shaped("F"));
        QCOMPARE(shaped(""), shaped("F"));
        QVERIFY(shaped("C") != shaped("F"));
    }

    // The text of a cell is drawn in the complement of the cell's colour.
    void drawCellWritesTextInTheComplementColour() {
        TKavSeatMapConfig config;
        config.LoadConfiguratios(IniFile::FromText("[LEVEL]\nLEVEL_A=$00102030\n"));
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(kPaper);
        {
            QPainter painter(&image);
            QFont font(QStringLiteral("Arial Narrow"));
            font.setPixelSize(30);
            painter.setFont(font);
            config.DrawCell(painter, QRect(0, 0, 40, 40), false, false, false, false, "A", "F", "N", "8",
                            "R");
        }
        const QRgb cell = ToQColor(0x00102030).rgb();
        const QRgb text = ToQColor(~0x00102030u & 0xFFFFFF).rgb();
        QCOMPARE(image.pixel(20, 1), cell);
        int textPixels = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                textPixels += image.pixel(x, y) == text;
        QVERIFY(textPixels > 10);
    }

    // A number too wide for its cell is drawn smaller rather than into the next seat, and still shows.
    void numbersShrinkToFitTheirCell() {
        QFont font(QStringLiteral("Arial Narrow"));
        font.setPixelSize(14);
        const QRect cell(10, 4, 9, 11);
        for (const char* number : {"8", "88", "128", "1288"}) {
            QImage image(30, 20, QImage::Format_RGB32);
            image.fill(kPaper);
            QPainter painter(&image);
            painter.setFont(font);
            TKavSeatMapConfig::PaintLook(painter, cell, {0x00000000, "F", number});
            QCOMPARE(painter.font(), font); // the painter's font is left as it was
            painter.end();
            // Black seat, white number: the shape reaches one pixel past the cell at most.
            QVERIFY2(OnlyInside(image, cell.adjusted(0, 0, 1, 1), kPaper), number);
            int numberPixels = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    numberPixels += qGray(image.pixel(x, y)) > 128;
            QVERIFY2(numberPixels >= 4, number);
        }
    }

    // The configuration the client ships with tells every price level, the selection and a locked
    // seat apart, and at the normal zoom a two-digit seat number stays inside its seat.
    void shippedConfigurationIsReadable() {
        const QString file = QCoreApplication::applicationDirPath() + QStringLiteral("/SEATMAP.CFG");
        QVERIFY(QFileInfo::exists(file));
        TKavSeatMapConfig config(file.toStdString());
        std::vector<TColor> colours(config.LevelColors.begin(), config.LevelColors.end());
        colours.insert(colours.end(),
                       {config.SelectedColor, config.LockedColor, TKavSeatMapConfig::MapBackground});
        for (std::size_t i = 0; i < colours.size(); ++i)
            for (std::size_t j = i + 1; j < colours.size(); ++j)
                QVERIFY2(Distance(colours[i], colours[j]) >= 60,
                         qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));

        TKavSeatMapShow map;
        map.SetConfig(config);
        map.SetAutoZoom(false);
        map.resize(600, 480);
        QCOMPARE(map.ColWidth(), 10);
        for (int col : {3, 7}) {
            TKavCellInfo& seat = map.Cells(10, col);
            seat.CellStatus = TKavCellStatus::kavcsNormal;
            seat.PriceLevel = 'A';
            seat.SeatStatus = 'F';
            seat.SeatNo = 88;
        }
        map.Cells(10, 7).Selected = true;
        map.SetWorkState("R");
        const QImage plain = map.grab().toImage();
        const QPoint free = map.CellRect(10, 3).center(), selected = map.CellRect(10, 7).center();
        QCOMPARE(plain.pixel(free), ToQColor(config.LevelColors[0]).rgb());
        QCOMPARE(plain.pixel(selected), ToQColor(config.SelectedColor).rgb());
        // With seat numbers on, the empty places left and right of the free seat show nothing of its number.
        map.SetShowSeatNo("1");
        const QImage shot = map.grab().toImage();
        QVERIFY(shot.pixel(free) != plain.pixel(free) ||
                shot.pixel(free + QPoint(1, 0)) != plain.pixel(free));
        const QRgb background = ToQColor(TKavSeatMapConfig::MapBackground).rgb();
        for (const QRect& neighbour : {map.CellRect(10, 2), map.CellRect(10, 4)})
            for (int x = neighbour.left(); x < neighbour.right(); ++x)
                QCOMPARE(shot.pixel(x, neighbour.center().y()), background);
    }

    // The control paints cells from a cache of painted cells; a cached cell must look exactly like one
    // painted directly, a number too wide for its cell included, and twice the same after a hit.
    void cachedCellsLookLikePaintedOnes() {
        QFont font(QStringLiteral("Arial Narrow"));
        font.setPixelSize(11);
        const TKavCellLook looks[] = {{0x003D68F5, "F", "128"}, {0x00999999, "B", ""}, {0x00C000C0, "T", "Z"},
                                      {0x00F7646E, "A", "7"},   {0x0000C0C0, "C", ""}, {0x00DEEBEF, "F", ""}};
        const auto paint = [&](bool cached) {
            TKavCellSprites sprites;
            // Text overflowing past the image's edge is rasterised differently; keep every cell's
            // text inside the image.
            QImage image(90, 20, QImage::Format_RGB32);
            image.fill(ToQColor(0x00DEEBEF));
            QPainter painter(&image);
            painter.setFont(font);
            for (int round = 0; round < 2; ++round) {
                int x = 10;
                for (const TKavCellLook& look : looks) {
                    const QRect cell(x, 3, 9, 11);
                    x += 10;
                    if (cached)
                        sprites.Draw(painter, cell, look, font);
                    else
                        TKavSeatMapConfig::PaintLook(painter, cell, look);
                }
            }
            return image;
        };
        const QImage direct = paint(false);
        const QImage cached = paint(true);
        for (int y = 0; y < direct.height(); ++y)
            for (int x = 0; x < direct.width(); ++x) {
                const QColor a = direct.pixelColor(x, y), b = cached.pixelColor(x, y);
                QVERIFY2(std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2 &&
                             std::abs(a.blue() - b.blue()) <= 2,
                         qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
    }

    void fontNamesMapToInstalledFonts() {
        InstallSeatMapFontSubstitutes();
        InstallSeatMapFontSubstitutes(); // twice is harmless
        QCOMPARE(QFont::substitutes(QStringLiteral("宋体")).count(QStringLiteral("noto sans cjk sc")), 1);
        const QString song = QFontInfo(QFont(QStringLiteral("宋体"))).family();
        QVERIFY2(song.contains(QStringLiteral("CJK")), qPrintable(song));
        // fonts-liberation is a dependency: seat numbers get a narrow face, not a wide stand-in.
        QCOMPARE(QFontInfo(QFont(QStringLiteral("Arial Narrow"))).family(),
                 QStringLiteral("Liberation Sans Narrow"));
        // Chinese text in the number font still finds glyphs.
        QVERIFY(QFontMetrics(QFont(QStringLiteral("Arial Narrow"))).inFontUcs4(U'台') ||
                QFontMetrics(QFont(QStringLiteral("宋体"))).inFontUcs4(U'台'));
    }
};

QTEST_MAIN(PaintingTest)
#include "painting_test.moc"
