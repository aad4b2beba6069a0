#include "platform/core/inifile.h"
#include "platform/dataset/clientdataset.h"
#include "seatmap/kavcolor.h"
#include "seatmap/pricegridshow.h"
#include "seatmap/seatmapconfig.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace kav;

namespace {

const QColor kRed(Qt::red);
const QColor kGreen(0, 255, 0);

// How many rows of `area` in `image` hold a pixel of text (darker than the header's border line).
int InkedRows(const QImage& image, const QRect& area) {
    int rows = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool inked = false;
        for (int x = area.left(); x <= area.right() && !inked; ++x)
            inked = qGray(image.pixel(x, y)) < 160;
        rows += inked;
    }
    return rows;
}

// A price table: the level field is named in mixed case and labelled for people, and another field is
// labelled "PRICELEVEL", so only a grid that goes by field names finds the right column.
void CreatePriceTable(TClientDataSet& prices) {
    prices.AddFieldDef("CODE", TFieldType::ftString, 40).displayLabel = "PRICELEVEL";
    prices.AddFieldDef("PriceLevel", TFieldType::ftString, 1).displayLabel = "等级";
    prices.AddFieldDef("PRICE", TFieldType::ftInteger);
    prices.CreateDataSet();
    prices.AppendRecord({"P1", "b", 380});
    prices.AppendRecord({"P2", "X", 280});
    prices.AppendRecord({"P3", FieldValue(), 180});
}

} // namespace

class PriceGridTest : public QObject {
    Q_OBJECT

private:
    TKavSeatMapConfig config_;
    std::unique_ptr<TClientDataSet> prices_;
    std::unique_ptr<TKavPriceGridShow> grid_;

    QRect CellRect(int row, int column) const {
        return grid_->visualRect(grid_->model()->index(row, column));
    }
    QRect Swatch(int row, int column) const {
        return TKavPriceLevelDelegate::SwatchRect(CellRect(row, column), QFontMetrics(grid_->font()));
    }
    QColor PixelAt(QPoint at) const { return QColor(grid_->viewport()->grab().toImage().pixel(at)); }
    QColor SwatchColor(int row, int column = 1) const { return PixelAt(Swatch(row, column).center()); }

private slots:
    void initTestCase() {
        config_.LoadConfiguratios(IniFile::FromText("[LEVEL]\nLEVEL_B=$000000FF\nLEVEL_C=$0000FF00\n"));
    }

    void init() {
        prices_ = std::make_unique<TClientDataSet>();
        CreatePriceTable(*prices_);
        grid_ = std::make_unique<TKavPriceGridShow>(config_, nullptr);
        grid_->SetDataSet(prices_.get());
        grid_->resize(400, 200);
    }

    void cleanup() {
        grid_.reset();
        prices_.reset();
    }

    void priceLevelNames() {
        QCOMPARE(PriceLevelName("A"), std::string("A 级"));
        QCOMPARE(PriceLevelName("n"), std::string("N 级"));
        QCOMPARE(PriceLevelName("Hx"), std::string("H 级"));
        for (const char* none : {"", "I", "L", "S", "1"})
            QCOMPARE(PriceLevelName(none), std::string());
    }

    // The PRICELEVEL field's column gets a framed swatch in the configured colour of its level on
    // button face, wide enough to see once the columns fit their contents; unknown and empty levels
    // have no colour. The column merely labelled "PRICELEVEL" paints as plain text.
    void paintsSwatchesInTheFieldsColumn() {
        QCOMPARE(grid_->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(grid_->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("等级"));
        QVERIFY(TKavPriceLevelDelegate::IsPriceLevelColumn(grid_->model()->index(0, 1)));
        QVERIFY(!TKavPriceLevelDelegate::IsPriceLevelColumn(grid_->model()->index(0, 0)));
        QVERIFY(!TKavPriceLevelDelegate::IsPriceLevelColumn(grid_->model()->index(0, 2)));

        QVERIFY(Swatch(0, 1).width() >= QFontMetrics(grid_->font()).height());
        QCOMPARE(SwatchColor(0), kRed);
        QCOMPARE(PixelAt(Swatch(0, 1).topLeft()), QColor(Qt::black));
        const QRect cell = CellRect(0, 1);
        QCOMPARE(PixelAt({cell.left(), cell.center().y()}), ToQColor(clBtnFace));
        QCOMPARE(SwatchColor(1), QColor(Qt::black));
        QCOMPARE(SwatchColor(2), QColor(Qt::black));
        QVERIFY(PixelAt(CellRect(0, 0).center() + QPoint(CellRect(0, 0).width() / 3, 0)) !=
                ToQColor(clBtnFace));
    }

    // Column titles in Chinese show whole: their glyphs come from a CJK font taller than the Latin one
    // the header would measure by.
    void titlesAreFullyVisible() {
        grid_->show();
        QVERIFY(QTest::qWaitForWindowExposed(grid_.get()));
        QHeaderView* header = grid_->horizontalHeader();
        const QImage shot = header->grab().toImage();
        const QRect title(header->sectionViewportPosition(1) + 2, 0, header->sectionSize(1) - 4,
                          header->height());

        QImage alone(200, 100, QImage::Format_RGB32);
        alone.fill(Qt::white);
        {
            QPainter painter(&alone);
            painter.setFont(header->font());
            painter.setPen(Qt::black);
            painter.drawText(alone.rect(), Qt::AlignCenter, QStringLiteral("等级"));
        }
        const int whole = InkedRows(alone, alone.rect());
        QVERIFY(whole > 5);
        QVERIFY2(InkedRows(shot, title) == whole,
                 qPrintable(QStringLiteral("%1 of %2 rows").arg(InkedRows(shot, title)).arg(whole)));
    }

    // Edits, inserts, deletes, filters and a reload with another structure show without rebinding.
    void followsTheDataSet() {
        QSignalSpy inserted(grid_->model(), &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(grid_->model(), &QAbstractItemModel::rowsRemoved);

        prices_->First();
        prices_->Edit();
        prices_->FieldByName("PRICELEVEL").SetAsString("C");
        prices_->Post();
        QTRY_COMPARE(SwatchColor(0), kGreen);

        prices_->AppendRecord({"P4", "B", 80});
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(grid_->model()->rowCount(), 4);
        QTRY_COMPARE(SwatchColor(3), kRed);
        // Columns keep fitting their contents: there is no scroll bar to reach a cut-off price.
        prices_->Edit();
        const QString longCode = QStringLiteral("一二三四五六七八九十一二三四五六七八九十");
        prices_->FieldByName("CODE").SetAsString(longCode.toStdString());
        prices_->FieldByName("PRICE").SetAsString("1234567890");
        prices_->Post();
        QTRY_VERIFY(grid_->columnWidth(0) > QFontMetrics(grid_->font()).horizontalAdvance(longCode));

        prices_->First();
        prices_->Delete();
        QCOMPARE(removed.count(), 1);
        QTRY_COMPARE(SwatchColor(0), QColor(Qt::black)); // "X" moved up

        prices_->SetFilter("PRICE > 1000");
        prices_->SetFiltered(true);
        QTRY_COMPARE(grid_->model()->rowCount(), 1);
        QCOMPARE(SwatchColor(0), kRed);

        // Reloaded with the level field first: the swatches move with it.
        TClientDataSet other;
        other.AddFieldDef("PRICELEVEL", TFieldType::ftString, 1);
        other.AddFieldDef("PRICE", TFieldType::ftInteger);
        other.CreateDataSet();
        other.AppendRecord({"c", 1280});
        prices_->SetFiltered(false);
        prices_->SetData(other.Data());
        QTRY_COMPARE(grid_->model()->columnCount(), 2);
        QVERIFY(TKavPriceLevelDelegate::IsPriceLevelColumn(grid_->model()->index(0, 0)));
        QCOMPARE(SwatchColor(0, 0), kGreen);
    }

    // Unbinding or destroying the grid stops it observing the dataset, which may then change or die
    // freely; binding another dataset shows that one.
    void bindsAndUnbinds() {
        grid_->SetDataSet(prices_.get());
        QCOMPARE(grid_->DataSet(), prices_.get());

        const QPointer<QAbstractItemModel> bound = grid_->model();
        grid_->SetDataSet(nullptr);
        QVERIFY(bound.isNull());
        QCOMPARE(grid_->DataSet(), nullptr);
        QCOMPARE(grid_->model(), nullptr);
        prices_->AppendRecord({"P9", "A", 1});
        prices_.reset();

        TClientDataSet second;
        CreatePriceTable(second);
        second.First();
        second.Delete();
        grid_->SetDataSet(&second);
        QCOMPARE(grid_->model()->rowCount(), 2);
        QCOMPARE(SwatchColor(0), QColor(Qt::black));

        grid_.reset();
        second.AppendRecord({"P8", "B", 2}); // nobody observes it any more
        QCOMPARE(second.RecordCount(), 3);
    }
};

QTEST_MAIN(PriceGridTest)
#include "pricegrid_test.moc"
