#include "platform/widgets/datasetmodel.h"

#include "platform/core/datetime.h"

#include <QApplication>
#include <QDateTime>
#include <QFontMetrics>
#include <QStyle>
#include <QTextLayout>
#include <cmath>

namespace kav {
namespace {

// The height of `text` on one line in `font`, fallback fonts included: Chinese glyphs drawn from a CJK
// font are taller than the Latin font's own line.
int LineHeight(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return std::max(QFontMetrics(font).height(), static_cast<int>(std::ceil(line.height())));
}

bool IsDateTime(TFieldType type) {
    return type == TFieldType::ftDateTime || type == TFieldType::ftTimeStamp;
}

bool IsNumber(TFieldType type) {
    switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
        return true;
    default:
        return false;
    }
}

// A stored value without a calendar date (outside years 1 to 9999) is shown as its number.
QVariant ToQDateTime(TDateTime value) {
    try {
        const CivilDateTime c = DecodeDateTime(value);
        return QDateTime(QDate(c.year, c.month, c.day), QTime(c.hour, c.minute, c.second, c.millisecond));
    } catch (const DateTimeError&) {
        return value;
    }
}

TDateTime FromQDateTime(const QDateTime& value) {
    const QDate d = value.date();
    const QTime t = value.time();
    return EncodeDateTime({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()});
}

QVariant ToVariant(const FieldValue& value, TFieldType type) {
    switch (value.GetKind()) {
    case FieldValue::Kind::Boolean:
        return value.Boolean();
    case FieldValue::Kind::Integer:
        // int gives small and normal integers a spin box in item views; 64-bit ones a line edit.
        if (type == TFieldType::ftLargeint) return QVariant::fromValue<qlonglong>(value.Integer());
        return static_cast<int>(value.Integer());
    case FieldValue::Kind::Float:
        return IsDateTime(type) ? ToQDateTime(value.Float()) : QVariant(value.Float());
    case FieldValue::Kind::String: {
        const auto text = value.String();
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    case FieldValue::Kind::Null:
    case FieldValue::Kind::Nested:
        break;
    }
    return {};
}

// An editor's value as the dataset takes it; the dataset converts it to the field's type.
FieldValue ToFieldValue(const QVariant& value) {
    if (value.isNull()) return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return std::int64_t{value.toLongLong()};
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::QDateTime:
        return FromQDateTime(value.toDateTime());
    case QMetaType::QDate:
        return FromQDateTime(value.toDate().startOfDay());
    default:
        return value.toString().toStdString();
    }
}

} // namespace

DataSetModel::DataSetModel(TClientDataSet& dataSet, QObject* parent)
    : QAbstractTableModel(parent), dataSet_(dataSet) {
    ReadStructure();
    dataSet_.AddObserver(this);
}

DataSetModel::~DataSetModel() {
    dataSet_.RemoveObserver(this);
}

void DataSetModel::ReadStructure() {
    columns_.clear();
    for (int i = 0; i < dataSet_.FieldCount(); ++i)
        if (dataSet_.Fields(i).Visible()) columns_.push_back(i);
    rows_ = dataSet_.RecordCount();
}

TField& DataSetModel::FieldOf(int column) const {
    return dataSet_.Fields(FieldIndex(column));
}

int DataSetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int DataSetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const {
    // rows_ may exceed the view while the dataset's controls are disabled.
    if (!index.isValid() || index.row() >= dataSet_.RecordCount()) return {};
    Q_ASSERT(checkIndex(index));
    const TField& field = FieldOf(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(dataSet_.TextAt(index.row(), field.Index()));
    case Qt::EditRole:
        return ToVariant(dataSet_.ValueAt(index.row(), field.Index()), field.DataType());
    case Qt::TextAlignmentRole:
        if (IsNumber(field.DataType())) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default:
        return {};
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const TField& field = FieldOf(section);
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(field.DisplayLabel());
    case Qt::SizeHintRole: {
        // The header takes this size as it stands, so the style's margins are added here.
        const QFont font = QApplication::font();
        const QFontMetrics metrics(font);
        const bool widgets = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
        const int margin = widgets ? QApplication::style()->pixelMetric(QStyle::PM_HeaderMargin) : 0;
        return QSize(metrics.averageCharWidth() * field.DisplayWidth() + metrics.height() / 2,
                     LineHeight(QString::fromStdString(field.DisplayLabel()), font) + 2 * margin);
    }
    default:
        return {};
    }
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Q_ASSERT(checkIndex(index));
    Qt::ItemFlags result = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    const TField& field = FieldOf(index.column());
    const TFieldType type = field.DataType();
    if (!field.ReadOnly() && !field.Def().IsCalculated() && type != TFieldType::ftDataSet &&
        type != TFieldType::ftBlob)
        result |= Qt::ItemIsEditable;
    return result;
}

bool DataSetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable) || index.row() >= dataSet_.RecordCount())
        return false;
    const bool editingThisRow =
        dataSet_.State() == TDataSetState::dsEdit && dataSet_.CurrentRow() == index.row();
    try {
        if (!editingThisRow) {
            dataSet_.SetRecNo(index.row() + 1);
            dataSet_.Edit();
        }
        try {
            FieldOf(index.column()).SetValue(ToFieldValue(value));
            if (!editingThisRow) dataSet_.Post();
        } catch (const EDatabaseError&) {
            if (!editingThisRow) dataSet_.Cancel();
            throw;
        }
    } catch (const EDatabaseError& e) {
        emit editRefused(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

void DataSetModel::DataSetBeginInsertRows(int first, int last) {
    beginInsertRows({}, first, last);
}

void DataSetModel::DataSetEndInsertRows() {
    rows_ = dataSet_.RecordCount();
    endInsertRows();
}

void DataSetModel::DataSetBeginRemoveRows(int first, int last) {
    beginRemoveRows({}, first, last);
}

void DataSetModel::DataSetEndRemoveRows() {
    rows_ = dataSet_.RecordCount();
    endRemoveRows();
}

void DataSetModel::DataSetRowChanged(int row) {
    if (row >= 0 && row < rows_ && !columns_.empty())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void DataSetModel::DataSetBeginReset() {
    beginResetModel();
}

void DataSetModel::DataSetEndReset() {
    ReadStructure();
    endResetModel();
}

void DataSetModel::DataSetCurrentChanged(int row) {
    emit currentRowChanged(row);
}

} // namespace kav
