#include "platform/widgets/excelexport.h"

#include "platform/core/atomicfile.h"
#include "platform/core/datetime.h"
#include "platform/core/textcodec.h"
#include "platform/dataset/clientdataset.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <system_error>
#include <xlsxwriter.h>

namespace kav {

namespace {

constexpr std::size_t kMaxRows = 1048576 - 1; // below the title row
constexpr std::size_t kMaxColumns = 16384;
constexpr std::size_t kMaxTextUnits = 32767; // UTF-16 units of one cell
constexpr double kMaxColumnWidth = 60;
// Excel's 1900 date system counts 1900 as a leap year; from 1 March 1900 on its serial numbers are
// our day counts.
constexpr TDateTime kFirstExcelDate = 61;

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

// Display width in Excel's character units: CJK and other wide characters count two.
double TextWidth(std::string_view utf8) {
    double width = 0;
    for (char16_t unit : Utf8ToUtf16(utf8))
        width += unit >= 0x1100 && !(unit >= 0xD800 && unit < 0xDC00) ? 2 : 1;
    return width;
}

std::string SheetNameOf(const std::string& wanted) {
    std::u16string name = Utf8ToUtf16(wanted);
    for (char16_t& c : name)
        if (std::u16string_view(u"[]:*?/\\").find(c) != std::u16string_view::npos) c = u'_';
    if (!name.empty() && name.front() == u'\'') name.front() = u'_';
    if (!name.empty() && name.back() == u'\'') name.back() = u'_';
    if (name.size() > 31) name.resize(31);
    if (!name.empty() && name.back() >= 0xD800 && name.back() < 0xDC00) name.pop_back();
    return name.empty() ? "Sheet1" : Utf16ToUtf8(name);
}

std::string NumberText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::optional<double> NumberOf(const FieldValue& value) {
    switch (value.GetKind()) {
    case FieldValue::Kind::Integer:
        return static_cast<double>(value.Integer());
    case FieldValue::Kind::Float:
        return value.Float();
    case FieldValue::Kind::Boolean:
        return value.Boolean() ? 1 : 0;
    case FieldValue::Kind::String: {
        const std::string_view text = value.String();
        double number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error == std::errc() && end == text.data() + text.size() && !text.empty()) return number;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::string TextOf(const FieldValue& value, TExcelKind kind) {
    switch (value.GetKind()) {
    case FieldValue::Kind::String:
        return std::string(value.String());
    case FieldValue::Kind::Integer:
        return std::to_string(value.Integer());
    case FieldValue::Kind::Boolean:
        return value.Boolean() ? "True" : "False";
    case FieldValue::Kind::Float:
        if (kind == TExcelKind::Date || kind == TExcelKind::DateTime) {
            try {
                return kind == TExcelKind::Date ? FormatDateIso(value.Float())
                                                : FormatDateTimeIso(value.Float());
            } catch (const DateTimeError&) {
            }
        }
        return NumberText(value.Float());
    default:
        return {};
    }
}

class TWriter {
public:
    TWriter(const TExcelTable& table, const std::filesystem::path& target, const std::string& sheetName)
        : table_(table), target_(target) {
        if (table.columns.size() > kMaxColumns)
            Fail(std::to_string(table.columns.size()) + " 列超过 Excel 工作表的 " +
                 std::to_string(kMaxColumns) + " 列上限");
        if (table.rows.size() > kMaxRows)
            Fail(std::to_string(table.rows.size()) + " 行超过 Excel 工作表的 " + std::to_string(kMaxRows) +
                 " 行上限");
        for (const auto& row : table.rows)
            if (row.size() > table.columns.size()) Fail("一行的值多于列数");
        temporary_ = TemporarySibling(target);
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE; // rows go out in order; nothing of a large table stays in memory
        workbook_.reset(workbook_new_opt(temporary_.c_str(), &options));
        if (!workbook_) Fail("无法建立工作簿");
        sheet_ = workbook_add_worksheet(workbook_.get(), SheetNameOf(sheetName).c_str());
        if (!sheet_) Fail("无法建立工作表");
        MakeFormats();
    }

    ~TWriter() {
        if (workbook_) {
            workbook_.reset();
            std::error_code ignored;
            std::filesystem::remove(temporary_, ignored);
        }
    }

    void Write() {
        SetColumns(); // constant-memory worksheets take their column settings before the first row
        for (std::size_t c = 0; c < table_.columns.size(); ++c)
            Check(worksheet_write_string(sheet_, 0, Col(c), table_.columns[c].title.c_str(), bold_));
        for (std::size_t r = 0; r < table_.rows.size(); ++r) {
            const auto& row = table_.rows[r];
            for (std::size_t c = 0; c < row.size(); ++c)
                WriteCell(static_cast<lxw_row_t>(r + 1), Col(c), table_.columns[c].kind, row[c]);
        }
        if (!table_.columns.empty()) {
            worksheet_freeze_panes(sheet_, 1, 0);
            Check(worksheet_autofilter(sheet_, 0, 0, static_cast<lxw_row_t>(table_.rows.size()),
                                       Col(table_.columns.size() - 1)));
        }
        const lxw_error closed = workbook_close(workbook_.release());
        if (closed != LXW_NO_ERROR) Fail(lxw_strerror(closed));
        std::error_code error;
        std::filesystem::rename(temporary_, target_, error);
        if (error) {
            std::filesystem::remove(temporary_, error);
            Fail("无法替换文件");
        }
    }

private:
    static lxw_col_t Col(std::size_t c) { return static_cast<lxw_col_t>(c); }

    [[noreturn]] void Fail(const std::string& why) const {
        throw EExcelExport("导出 Excel 文件 " + target_.string() + " 失败: " + why);
    }
    void Check(lxw_error error) const {
        if (error != LXW_NO_ERROR) Fail(lxw_strerror(error));
    }

    lxw_format* NumberFormat(const char* pattern) {
        lxw_format* format = workbook_add_format(workbook_.get());
        format_set_num_format(format, pattern);
        return format;
    }

    void MakeFormats() {
        bold_ = workbook_add_format(workbook_.get());
        format_set_bold(bold_);
        integer_ = NumberFormat("0");
        money_ = NumberFormat("0.00");
        date_ = NumberFormat("yyyy-mm-dd");
        dateTime_ = NumberFormat("yyyy-mm-dd hh:mm:ss");
    }

    void SetColumns() {
        for (std::size_t c = 0; c < table_.columns.size(); ++c) {
            const TExcelKind kind = table_.columns[c].kind;
            double width = TextWidth(table_.columns[c].title);
            if (kind == TExcelKind::DateTime) width = std::max(width, 19.0);
            if (kind == TExcelKind::Date) width = std::max(width, 10.0);
            for (const auto& row : table_.rows)
                if (c < row.size() && kind != TExcelKind::Date && kind != TExcelKind::DateTime)
                    width = std::max(width, TextWidth(TextOf(row[c], kind)));
            Check(
                worksheet_set_column(sheet_, Col(c), Col(c), std::min(width + 2, kMaxColumnWidth), nullptr));
        }
    }

    void WriteText(lxw_row_t row, lxw_col_t col, const std::string& text) {
        if (Utf8ToUtf16(text).size() > kMaxTextUnits)
            Fail("第 " + std::to_string(row + 1) + " 行的文字超过一个单元格的 32767 个字符");
        Check(worksheet_write_string(sheet_, row, col, text.c_str(), nullptr));
    }

    void WriteCell(lxw_row_t row, lxw_col_t col, TExcelKind kind, const FieldValue& value) {
        if (value.IsNull() || value.GetKind() == FieldValue::Kind::Nested) return;
        if (kind == TExcelKind::Text) return WriteText(row, col, TextOf(value, kind));
        if (kind == TExcelKind::Boolean && value.GetKind() == FieldValue::Kind::Boolean)
            return Check(worksheet_write_boolean(sheet_, row, col, value.Boolean(), nullptr));
        const std::optional<double> number = NumberOf(value);
        if (!number) return WriteText(row, col, TextOf(value, kind));
        switch (kind) {
        case TExcelKind::Integer:
            return Check(worksheet_write_number(sheet_, row, col, *number, integer_));
        case TExcelKind::Money:
            return Check(worksheet_write_number(sheet_, row, col, *number, money_));
        case TExcelKind::Date:
        case TExcelKind::DateTime:
            // Excel cannot show days before March 1900; those stay readable as text.
            if (*number < kFirstExcelDate) return WriteText(row, col, TextOf(value, kind));
            return Check(worksheet_write_number(sheet_, row, col, *number,
                                                kind == TExcelKind::Date ? date_ : dateTime_));
        default:
            return Check(worksheet_write_number(sheet_, row, col, *number, nullptr));
        }
    }

    const TExcelTable& table_;
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook_;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format *bold_ = nullptr, *integer_ = nullptr, *money_ = nullptr, *date_ = nullptr,
               *dateTime_ = nullptr;
};

TExcelKind KindOf(TFieldType type) {
    switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
        return TExcelKind::Integer;
    case TFieldType::ftFloat:
        return TExcelKind::Number;
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
        return TExcelKind::Money;
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp:
        return TExcelKind::DateTime;
    case TFieldType::ftBoolean:
        return TExcelKind::Boolean;
    default:
        return TExcelKind::Text;
    }
}

} // namespace

void TExcelExport::ExportTable(const TExcelTable& table, const std::filesystem::path& file) const {
    TWriter(table, file, SheetName).Write();
}

TExcelTable TExcelExport::TableOf(TClientDataSet& dataSet) {
    TExcelTable table;
    std::vector<int> fields;
    for (int f = 0; f < dataSet.FieldCount(); ++f) {
        const TField& field = dataSet.Fields(f);
        if (!field.Visible() || field.DataType() == TFieldType::ftDataSet ||
            field.DataType() == TFieldType::ftBlob)
            continue;
        fields.push_back(f);
        table.columns.push_back({field.DisplayLabel(), KindOf(field.DataType())});
    }
    table.rows.reserve(static_cast<std::size_t>(dataSet.RecordCount()));
    for (int r = 0; r < dataSet.RecordCount(); ++r) {
        std::vector<FieldValue> row;
        row.reserve(fields.size());
        for (int f : fields)
            row.push_back(dataSet.ValueAt(r, f));
        table.rows.push_back(std::move(row));
    }
    return table;
}

void TExcelExport::ExportDataSet(TClientDataSet& dataSet, const std::filesystem::path& file) const {
    ExportTable(TableOf(dataSet), file);
}

} // namespace kav
