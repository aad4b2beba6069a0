#include "platform/core/datetime.h"
#include "platform/widgets/datasetmodel.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDateTime>
#include <QHeaderView>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QtTest>
#include <memory>

using namespace kav;

class TestDataSetModel : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void columnsAreTheVisibleFields();
    void cellsShowTextAndTypedValues();
    void rowsFollowFilterAndOrder();
    void followsInsertsDeletesAndEdits();
    void editsThroughTheDataSet();
    void refusedEditLeavesTheRow();
    void disabledControlsEndInOneReset();
    void reportsCursorMovesAndClosing();
    void servesRealViews();

private:
    QString Cell(int row, int column) const { return model_->index(row, column).data().toString(); }
    int ColumnOf(const char* field) const {
        const int index = dataSet_->FieldByName(field).Index();
        for (int c = 0; c < model_->columnCount(); ++c)
            if (model_->FieldIndex(c) == index) return c;
        return -1;
    }

    std::unique_ptr<TClientDataSet> dataSet_;
    std::unique_ptr<DataSetModel> model_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

void TestDataSetModel::init() {
    dataSet_ = std::make_unique<TClientDataSet>();
    auto& ds = *dataSet_;
    ds.AddFieldDef("ORDERCODE", TFieldType::ftString, 10, true).key = true;
    ds.AddFieldDef("SEATCOUNT", TFieldType::ftInteger);
    auto& receivables = ds.AddFieldDef("RECEIVABLES", TFieldType::ftFloat);
    receivables.displayLabel = "应收金额";
    receivables.displayWidth = 12;
    ds.AddFieldDef("ORDERSTATUS", TFieldType::ftString, 1);
    ds.AddFieldDef("ROWID", TFieldType::ftInteger).visible = false;
    ds.AddFieldDef("CREATETIME", TFieldType::ftDateTime);
    ds.AddFieldDef("ISPAID", TFieldType::ftBoolean);
    ds.CreateDataSet();
    const double created = EncodeDateTime({2026, 12, 7, 19, 30, 0, 0});
    ds.AppendRecord({"A001", 2, 180.0, "B", 1, created, true});
    ds.AppendRecord({"A002", 1, 80.0, "B", 2, created, false});
    ds.AppendRecord({"A003", 4, 520.5, "S", 3, FieldValue(), FieldValue()});
    ds.AppendRecord({"A004", 3, 300.0, "B", 4, created, false});
    ds.MergeChangeLog();
    ds.FieldByName("ISPAID").SetReadOnly(true);
    ds.First();
    model_ = std::make_unique<DataSetModel>(ds);
    tester_ = std::make_unique<QAbstractItemModelTester>(
        model_.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void TestDataSetModel::cleanup() {
    tester_.reset();
    model_.reset();
    dataSet_.reset();
}

void TestDataSetModel::columnsAreTheVisibleFields() {
    QCOMPARE(model_->columnCount(), 6); // ROWID is hidden
    QCOMPARE(model_->rowCount(), 4);
    QStringList labels;
    for (int c = 0; c < model_->columnCount(); ++c)
        labels << model_->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(labels,
             (QStringList{"ORDERCODE", "SEATCOUNT", "应收金额", "ORDERSTATUS", "CREATETIME", "ISPAID"}));
    QCOMPARE(model_->FieldIndex(4), dataSet_->FieldByName("CREATETIME").Index());
    // Display widths in characters become header widths: 12 characters are wider than 1.
    const int wide =
        model_->headerData(ColumnOf("RECEIVABLES"), Qt::Horizontal, Qt::SizeHintRole).toSize().width();
    const int narrow =
        model_->headerData(ColumnOf("ORDERSTATUS"), Qt::Horizontal, Qt::SizeHintRole).toSize().width();
    QVERIFY(wide > narrow);

    // The columns a user chooses at run time, and new labels, show at once.
    QSignalSpy resets(model_.get(), &QAbstractItemModel::modelReset);
    dataSet_->FieldByName("SEATCOUNT").SetVisible(false);
    dataSet_->FieldByName("ROWID").SetVisible(true);
    dataSet_->FieldByName("ORDERCODE").SetDisplayLabel("订单号");
    QCOMPARE(resets.count(), 3);
    QCOMPARE(model_->columnCount(), 6);
    QCOMPARE(ColumnOf("SEATCOUNT"), -1);
    QCOMPARE(model_->headerData(ColumnOf("ROWID"), Qt::Horizontal).toString(), QString("ROWID"));
    QCOMPARE(model_->headerData(0, Qt::Horizontal).toString(), QString("订单号"));
}

void TestDataSetModel::cellsShowTextAndTypedValues() {
    const int receivables = ColumnOf("RECEIVABLES"), created = ColumnOf("CREATETIME"),
              paid = ColumnOf("ISPAID");
    QCOMPARE(Cell(2, receivables), QString("520.5"));
    QCOMPARE(Cell(0, ColumnOf("ORDERCODE")), QString("A001"));
    const QModelIndex count = model_->index(2, ColumnOf("SEATCOUNT"));
    QCOMPARE(count.data(Qt::EditRole), QVariant(4));
    QCOMPARE(model_->index(2, receivables).data(Qt::EditRole), QVariant(520.5));
    QCOMPARE(model_->index(0, created).data(Qt::EditRole).toDateTime(),
             QDateTime(QDate(2026, 12, 7), QTime(19, 30)));
    QCOMPARE(model_->index(0, paid).data(Qt::EditRole), QVariant(true));
    // Nulls: no value, empty text.
    QVERIFY(!model_->index(2, created).data(Qt::EditRole).isValid());
    QCOMPARE(Cell(2, paid), QString());
    QCOMPARE(count.data(Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignRight | Qt::AlignVCenter);
    QVERIFY(!model_->index(0, 0).data(Qt::TextAlignmentRole).isValid());
}

void TestDataSetModel::rowsFollowFilterAndOrder() {
    QSignalSpy resets(model_.get(), &QAbstractItemModel::modelReset);
    dataSet_->SetFilter("RECEIVABLES > 100 and ORDERSTATUS = 'B'");
    dataSet_->SetFiltered(true);
    QCOMPARE(model_->rowCount(), 2);
    QCOMPARE(Cell(0, 0), QString("A001"));
    QCOMPARE(Cell(1, 0), QString("A004"));
    dataSet_->AddIndex("byMoney", "RECEIVABLES", {}, "RECEIVABLES");
    dataSet_->SetIndexName("byMoney");
    QCOMPARE(Cell(0, 0), QString("A004"));
    QCOMPARE(Cell(1, 0), QString("A001"));
    dataSet_->SetFiltered(false);
    QCOMPARE(model_->rowCount(), 4);
    QCOMPARE(Cell(0, 0), QString("A003"));
    QVERIFY(resets.count() >= 3);
}

void TestDataSetModel::followsInsertsDeletesAndEdits() {
    dataSet_->SetIndexFieldNames("SEATCOUNT");
    dataSet_->SetFilter("ORDERSTATUS = 'B'");
    dataSet_->SetFiltered(true); // rows A002 (1), A001 (2), A004 (3)
    QSignalSpy inserted(model_.get(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model_.get(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy changed(model_.get(), &QAbstractItemModel::dataChanged);

    // A new row appears at its place in the index order.
    dataSet_->AppendRecord({"A005", 2, 60.0, "B"});
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(model_->rowCount(), 4);
    QCOMPARE(Cell(inserted.at(0).at(1).toInt(), 0), QString("A005"));
    QVERIFY(inserted.at(0).at(1).toInt() >= 1 && inserted.at(0).at(1).toInt() <= 2);

    // A changed value that keeps the order changes the row in place.
    dataSet_->SetRecNo(1);
    dataSet_->Edit();
    dataSet_->FieldByName("RECEIVABLES").SetAsFloat(99.5);
    dataSet_->Post();
    QVERIFY(changed.count() >= 1);
    QCOMPARE(changed.last().at(0).value<QModelIndex>().row(), 0);
    QCOMPARE(Cell(0, ColumnOf("RECEIVABLES")), QString("99.5"));

    // A changed key moves the row; a row that leaves the filter leaves the model.
    dataSet_->SetRecNo(1);
    dataSet_->Edit();
    dataSet_->FieldByName("SEATCOUNT").SetAsInteger(9);
    dataSet_->Post();
    QCOMPARE(Cell(3, 0), QString("A002"));
    const int removedBefore = removed.count();
    dataSet_->Edit();
    dataSet_->FieldByName("ORDERSTATUS").SetAsString("S");
    dataSet_->Post();
    QCOMPARE(removed.count(), removedBefore + 1);
    QCOMPARE(model_->rowCount(), 3);

    // Deleting and undoing go through the same notifications.
    dataSet_->First();
    dataSet_->Delete();
    QCOMPARE(model_->rowCount(), 2);
    dataSet_->CancelUpdates();
    QCOMPARE(model_->rowCount(), 3);
}

void TestDataSetModel::editsThroughTheDataSet() {
    const int count = ColumnOf("SEATCOUNT"), created = ColumnOf("CREATETIME");
    QVERIFY(model_->flags(model_->index(1, count)) & Qt::ItemIsEditable);
    QVERIFY(!(model_->flags(model_->index(1, ColumnOf("ISPAID"))) & Qt::ItemIsEditable));

    QSignalSpy changed(model_.get(), &QAbstractItemModel::dataChanged);
    QVERIFY(model_->setData(model_->index(1, count), QString("12")));
    QCOMPARE(dataSet_->RecNo(), 2);
    QCOMPARE(dataSet_->State(), TDataSetState::dsBrowse);
    QCOMPARE(dataSet_->FieldByName("SEATCOUNT").AsInteger(), 12);
    QCOMPARE(dataSet_->ChangeCount(), 1);
    QVERIFY(!changed.isEmpty());

    const QDateTime when(QDate(2027, 1, 2), QTime(3, 4, 5));
    QVERIFY(model_->setData(model_->index(2, created), when));
    QCOMPARE(model_->index(2, created).data(Qt::EditRole).toDateTime(), when);
    QVERIFY(model_->setData(model_->index(2, created), QVariant()));
    QVERIFY(dataSet_->FieldByName("CREATETIME").IsNull());

    // While a form edits the row, the grid's edit joins that edit instead of posting it.
    dataSet_->SetRecNo(4);
    dataSet_->Edit();
    QVERIFY(model_->setData(model_->index(3, count), 7));
    QCOMPARE(dataSet_->State(), TDataSetState::dsEdit);
    QCOMPARE(Cell(3, count), QString("7"));
    dataSet_->Cancel();
    QCOMPARE(Cell(3, count), QString("3"));
}

void TestDataSetModel::refusedEditLeavesTheRow() {
    QSignalSpy refused(model_.get(), &DataSetModel::editRefused);
    const int count = ColumnOf("SEATCOUNT"), code = ColumnOf("ORDERCODE");
    QVERIFY(!model_->setData(model_->index(0, count), QString("many")));
    QVERIFY(!model_->setData(model_->index(0, code), QVariant()));          // required
    QVERIFY(!model_->setData(model_->index(0, ColumnOf("ISPAID")), false)); // read-only
    QCOMPARE(refused.count(), 2);
    QVERIFY(refused.at(1).at(0).toString().contains("ORDERCODE"));
    QCOMPARE(dataSet_->State(), TDataSetState::dsBrowse);
    QCOMPARE(dataSet_->ChangeCount(), 0);
    QCOMPARE(Cell(0, count), QString("2"));
    QCOMPARE(Cell(0, code), QString("A001"));
}

void TestDataSetModel::disabledControlsEndInOneReset() {
    QSignalSpy resets(model_.get(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(model_.get(), &QAbstractItemModel::rowsInserted);
    dataSet_->DisableControls();
    for (int i = 0; i < 3; ++i)
        dataSet_->AppendRecord({QString("B%1").arg(i).toStdString(), i, 1.0, "B"});
    dataSet_->First();
    dataSet_->Delete();
    QCOMPARE(model_->rowCount(), 4); // unchanged until the controls are enabled
    dataSet_->EnableControls();
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model_->rowCount(), 6);
}

void TestDataSetModel::reportsCursorMovesAndClosing() {
    QSignalSpy moved(model_.get(), &DataSetModel::currentRowChanged);
    dataSet_->Last();
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toInt(), 3);
    dataSet_->Close();
    QCOMPARE(model_->rowCount(), 0);
    QCOMPARE(model_->columnCount(), 0);
}

void TestDataSetModel::servesRealViews() {
    QTableView grid;
    grid.setModel(model_.get());
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QCOMPARE(grid.horizontalHeader()->count(), 6);

    // The grid's own editor writes through to the dataset.
    const QModelIndex seats = model_->index(1, ColumnOf("SEATCOUNT"));
    grid.setCurrentIndex(seats);
    grid.edit(seats);
    auto* spin = grid.findChild<QSpinBox*>();
    QVERIFY(spin);
    spin->setValue(5);
    QTest::keyClick(spin, Qt::Key_Return);
    QTRY_COMPARE(dataSet_->ChangeCount(), 1); // the view commits from a queued call
    QCOMPARE(dataSet_->RecNo(), 2);
    QCOMPARE(dataSet_->FieldByName("SEATCOUNT").AsInteger(), 5);

    // A combo box lists one column and follows new rows.
    QComboBox combo;
    combo.setModel(model_.get());
    combo.setModelColumn(ColumnOf("ORDERCODE"));
    QCOMPARE(combo.count(), 4);
    dataSet_->AppendRecord({"A009", 1, 1.0, "B"});
    QCOMPARE(combo.count(), 5);
    QCOMPARE(combo.itemText(4), QString("A009"));
}

QTEST_MAIN(TestDataSetModel)
#include "datasetmodel_test.moc"
