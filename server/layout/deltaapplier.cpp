#include "server/layout/deltaapplier.h"

#include "platform/dataset/clientdataset.h"
#include "rpc/exceptions.h"
#include "server/db/batchinsert.h"

#include <algorithm>

namespace kav::server {

namespace {

// Keys per delete statement: few enough parameters for every backend to parse quickly.
constexpr std::size_t kKeysPerDelete = 100;

[[noreturn]] void Refuse(const std::string& argument, const std::string& field, const std::string& why) {
    throw pelio::EosRemoteException("数据包 " + argument + (field.empty() ? "" : "." + field) +
                                    " 无效: " + why);
}

std::size_t CodePoints(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

class RowValues {
public:
    RowValues(TClientDataSet& rows, const TDeltaTable& table, const std::string& argument)
        : argument_(argument), key_(&Find(rows, table.Key), &table.Key) {
        for (const TDeltaColumn& column : table.Columns)
            columns_.emplace_back(&Find(rows, column), &column);
    }

    // The key as the row had it before any change.
    SqlValue Key() const {
        try {
            const FieldValue old = key_.first->OldValue();
            if (old.IsNull()) return std::monostate{};
            if (!key_.second->Integer) return std::string(old.String());
            if (old.GetKind() != FieldValue::Kind::Integer) Refuse(argument_, key_.second->Name, "不是整数");
            return old.Integer();
        } catch (const EDatabaseError& e) {
            Refuse(argument_, key_.second->Name, e.what());
        }
    }
    std::vector<SqlValue> Columns() const {
        std::vector<SqlValue> values;
        values.reserve(columns_.size());
        for (const auto& [field, column] : columns_)
            values.push_back(Value(*field, *column));
        return values;
    }

private:
    TField& Find(TClientDataSet& rows, const TDeltaColumn& column) const {
        TField* field = rows.FindField(column.Name);
        if (!field) Refuse(argument_, column.Name, "没有这个字段");
        return *field;
    }

    SqlValue Value(const TField& field, const TDeltaColumn& column) const {
        try {
            if (field.IsNull()) return std::monostate{};
            if (column.Integer) return field.AsLargeInt();
            std::string text = field.AsString();
            if (column.MaxLength > 0 && CodePoints(text) > static_cast<std::size_t>(column.MaxLength))
                Refuse(argument_, column.Name,
                       "“" + text + "”超过 " + std::to_string(column.MaxLength) + " 个字");
            return text;
        } catch (const EDatabaseError& e) {
            Refuse(argument_, column.Name, e.what());
        }
    }

    const std::string& argument_;
    std::pair<TField*, const TDeltaColumn*> key_;
    std::vector<std::pair<TField*, const TDeltaColumn*>> columns_;
};

} // namespace

std::vector<TDeltaRow> ReadDelta(const pelio::Variant& delta, const TDeltaTable& table,
                                 const std::string& argument) {
    if (!delta.IsByteArray()) Refuse(argument, {}, "不是数据包");
    std::vector<TDeltaRow> result;
    if (delta.ByteArrayView().empty()) return result;
    TClientDataSet rows;
    try {
        rows.SetData(delta.ByteArrayView());
        rows.SetStatusFilter(
            {TUpdateStatus::usInserted, TUpdateStatus::usModified, TUpdateStatus::usDeleted});
    } catch (const EDatabaseError& e) {
        Refuse(argument, {}, e.what());
    }
    const RowValues values(rows, table, argument);
    result.reserve(static_cast<std::size_t>(rows.RecordCount()));
    for (rows.First(); !rows.Eof(); rows.Next()) {
        TDeltaRow row;
        switch (rows.UpdateStatus()) {
        case TUpdateStatus::usInserted:
            row.Kind = TDeltaKind::Insert;
            row.Key = values.Key();
            row.Values = values.Columns();
            break;
        case TUpdateStatus::usModified:
            row.Kind = TDeltaKind::Change;
            row.Key = values.Key();
            row.Values = values.Columns();
            break;
        case TUpdateStatus::usDeleted:
            row.Kind = TDeltaKind::Delete;
            row.Key = values.Key();
            break;
        case TUpdateStatus::usUnmodified:
            continue;
        }
        result.push_back(std::move(row));
    }
    return result;
}

std::string TDeltaApplier::ScopeCondition(std::vector<SqlValue>& params) const {
    std::string sql;
    for (const auto& [column, value] : table_.Scope) {
        params.push_back(value);
        sql += " and " + column + " = ?" + std::to_string(params.size());
    }
    return sql;
}

void TDeltaApplier::Delete(const std::vector<SqlValue>& keys) {
    for (std::size_t first = 0; first < keys.size(); first += kKeysPerDelete) {
        std::vector<SqlValue> params;
        std::string sql = "delete from " + table_.Table + " where 1 = 1" + ScopeCondition(params) + " and " +
                          table_.Key.Name + " in (";
        const std::size_t last = std::min(keys.size(), first + kKeysPerDelete);
        for (std::size_t i = first; i < last; ++i) {
            params.push_back(keys[i]);
            sql += (i > first ? ", ?" : "?") + std::to_string(params.size());
        }
        connection_.Execute(sql + ")", params);
    }
}

std::int64_t TDeltaApplier::Update(const SqlValue& key,
                                   const std::vector<std::pair<std::string, SqlValue>>& columns) {
    std::vector<SqlValue> params;
    std::string sql = "update " + table_.Table + " set ";
    for (const auto& [name, value] : columns) {
        params.push_back(value);
        sql += (params.size() > 1 ? ", " : "") + name + " = ?" + std::to_string(params.size());
    }
    sql += " where 1 = 1" + ScopeCondition(params);
    params.push_back(key);
    sql += " and " + table_.Key.Name + " = ?" + std::to_string(params.size());
    return connection_.Execute(sql, params);
}

std::int64_t TDeltaApplier::Change(const SqlValue& key, const std::vector<SqlValue>& values) {
    std::vector<std::pair<std::string, SqlValue>> columns;
    for (std::size_t i = 0; i < table_.Columns.size(); ++i)
        columns.emplace_back(table_.Columns[i].Name, values.at(i));
    return Update(key, columns);
}

void TDeltaApplier::Insert(const std::vector<std::pair<SqlValue, std::vector<SqlValue>>>& rows,
                           const std::vector<std::string>& extraColumns,
                           const std::vector<SqlValue>& extraValues) {
    std::vector<std::string> columns;
    for (const auto& scope : table_.Scope)
        columns.push_back(scope.first);
    columns.push_back(table_.Key.Name);
    for (const TDeltaColumn& column : table_.Columns)
        columns.push_back(column.Name);
    columns.insert(columns.end(), extraColumns.begin(), extraColumns.end());
    BatchInsert writer(connection_, table_.Table, columns);
    for (const auto& [key, values] : rows) {
        std::vector<SqlValue> row;
        row.reserve(columns.size());
        for (const auto& scope : table_.Scope)
            row.push_back(scope.second);
        row.push_back(key);
        row.insert(row.end(), values.begin(), values.end());
        row.insert(row.end(), extraValues.begin(), extraValues.end());
        writer.Add(std::move(row));
    }
    writer.Finish();
}

} // namespace kav::server
