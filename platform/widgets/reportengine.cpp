#include "platform/widgets/reportengine.h"

#include "platform/core/datetime.h"
#include "platform/core/textcodec.h"
#include "platform/dataset/clientdataset.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace kav {

namespace {

// Stands for the page count until every page is laid out.
constexpr std::string_view kPagesMarker = "\x01PAGES\x01";

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string WithKey(const std::string& text, const std::string& key) {
    return key.empty() ? text : Replaced(text, "{key}", key);
}

bool IsNumber(const FieldValue& value) {
    return value.GetKind() == FieldValue::Kind::Integer || value.GetKind() == FieldValue::Kind::Float;
}

double NumberOf(const FieldValue& value) {
    if (value.GetKind() == FieldValue::Kind::Integer) return static_cast<double>(value.Integer());
    if (value.GetKind() == FieldValue::Kind::Float) return value.Float();
    return 0;
}

TValueFormat FormatOfField(TFieldType type) {
    switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftLargeint:
        return TValueFormat::Integer;
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
        return TValueFormat::Money;
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp:
        return TValueFormat::Minutes;
    default:
        return TValueFormat::Auto;
    }
}

bool IsIntegerField(TFieldType type) {
    return FormatOfField(type) == TValueFormat::Integer;
}

// A sum keeps integers exact; it becomes a float once a float is added.
class TTotal {
public:
    void Add(const FieldValue& value) {
        if (value.GetKind() == FieldValue::Kind::Integer)
            integer_ += value.Integer();
        else if (value.GetKind() == FieldValue::Kind::Float) {
            real_ += value.Float();
            isReal_ = true;
        }
    }
    FieldValue Value() const {
        return isReal_ ? FieldValue(real_ + static_cast<double>(integer_)) : FieldValue(integer_);
    }

private:
    std::int64_t integer_ = 0;
    double real_ = 0;
    bool isReal_ = false;
};

// The rows a band's sums run over: [first, last) of a dataset's view.
struct TScope {
    TClientDataSet* dataSet = nullptr;
    int first = 0, last = 0;
};

class TLayouter {
public:
    TLayouter(const TReportLayout& layout, const std::map<std::string, TClientDataSet*>& dataSets,
              const std::map<std::string, FieldValue>& parameters)
        : layout_(layout), dataSets_(dataSets), parameters_(parameters) {
        document_.title = layout.title;
        document_.landscape = layout.landscape;
        document_.pageWidth = layout.landscape ? layout.pageHeight : layout.pageWidth;
        document_.pageHeight = layout.landscape ? layout.pageWidth : layout.pageHeight;
        bodyBottom_ = document_.pageHeight - layout.marginBottom - layout.pageFooter.height;
    }

    TReportDocument Run() {
        main_ = DataSet(layout_.dataset);
        if (!main_) Fail("数据集 '" + layout_.dataset + "' 没有数据");
        rows_ = main_->RecordCount();
        KeepColumns();
        FindBreaks();

        StartPage();
        const std::size_t groups = layout_.groups.size();
        main_->First();
        for (int row = 0; row < rows_; ++row, main_->Next()) {
            for (std::size_t g = breaks_[static_cast<std::size_t>(row)]; g < groups; ++g) {
                const TReportGroup& group = layout_.groups[g];
                if (group.header.present)
                    Place(group.header, GroupScope(g, row),
                          layout_.detail.present ? layout_.detail.height : 0);
                openGroups_ = g + 1;
            }
            if (layout_.detail.present) Place(layout_.detail, {main_, 0, rows_});
            const std::size_t next = row + 1 < rows_ ? breaks_[static_cast<std::size_t>(row) + 1] : 0;
            for (std::size_t g = groups; g-- > next;) {
                // A footer carried to the next page is preceded by its own group's header again.
                if (layout_.groups[g].footer.present) Place(layout_.groups[g].footer, GroupScope(g, row));
                openGroups_ = g;
            }
        }
        if (layout_.summary.present) Place(layout_.summary, {main_, 0, rows_});
        EndPage();

        const std::string count = std::to_string(document_.pages.size());
        for (TReportPage& page : document_.pages)
            for (TDrawCommand& command : page.commands)
                if (command.text.find(kPagesMarker) != std::string::npos)
                    command.text = Replaced(command.text, kPagesMarker, count);
        return std::move(document_);
    }

private:
    [[noreturn]] void Fail(const std::string& why) const {
        throw EReportLayout("报表格式文件 " + layout_.source + ": " + why);
    }

    TClientDataSet* DataSet(const std::string& alias) const {
        for (const auto& [name, dataSet] : dataSets_)
            if (EqualsIgnoringCase(name, alias)) return dataSet;
        Fail("没有名为 '" + alias + "' 的数据集");
    }

    // Looked up once per dataset and name: the structure does not change while the report is built.
    TField& FieldOf(TClientDataSet& dataSet, const std::string& name) const {
        auto found = fields_.find({&dataSet, name});
        if (found == fields_.end()) {
            TField* field = dataSet.FindField(name);
            if (!field) Fail("字段 '" + name + "' 不在数据集中");
            found = fields_.emplace(std::make_pair(&dataSet, name), field).first;
        }
        return *found->second;
    }

    const FieldValue* Parameter(const std::string& name) const {
        for (const auto& [key, value] : parameters_)
            if (EqualsIgnoringCase(key, name)) return &value;
        return nullptr;
    }

    // ---- column sets

    struct TKeptColumns {
        std::vector<std::string> keys;
        double x = 0, cellWidth = 0;
    };

    void KeepColumns() {
        for (const TReportColumnSet& set : layout_.columnSets) {
            TKeptColumns kept;
            kept.x = set.x;
            for (const std::string& key : set.keys)
                if (set.keepWhenNonZero.empty() || AnyNonZero(set, key)) kept.keys.push_back(key);
            if (!kept.keys.empty())
                kept.cellWidth =
                    std::min(set.maxCellWidth, set.width / static_cast<double>(kept.keys.size()));
            kept_[set.name] = std::move(kept);
        }
        for (const TReportColumnSet& set : layout_.columnSets)
            if (!set.follows.empty()) {
                const TKeptColumns& followed = kept_.at(set.follows);
                kept_[set.name].x =
                    followed.x + static_cast<double>(followed.keys.size()) * followed.cellWidth;
            }
    }

    bool AnyNonZero(const TReportColumnSet& set, const std::string& key) const {
        for (const std::string& name : set.keepWhenNonZero) {
            const int field = FieldOf(*main_, WithKey(name, key)).Index();
            for (int row = 0; row < rows_; ++row)
                if (NumberOf(main_->ValueAt(row, field)) != 0) return true;
        }
        return false;
    }

    // ---- groups

    // For each row, the outermost group that starts there (0 at the first row, the group count where none
    // does).
    void FindBreaks() {
        const std::size_t groups = layout_.groups.size();
        std::vector<std::vector<int>> fields(groups);
        for (std::size_t g = 0; g < groups; ++g)
            for (const std::string& name : layout_.groups[g].fields)
                fields[g].push_back(FieldOf(*main_, name).Index());
        breaks_.assign(static_cast<std::size_t>(rows_), groups);
        for (int row = 0; row < rows_; ++row) {
            std::size_t level = 0;
            if (row > 0) {
                while (level < groups && SameValues(fields[level], row - 1, row))
                    ++level;
            }
            breaks_[static_cast<std::size_t>(row)] = level;
        }
    }

    bool SameValues(const std::vector<int>& fields, int a, int b) const {
        for (int field : fields)
            if (!(main_->ValueAt(a, field) == main_->ValueAt(b, field))) return false;
        return true;
    }

    TScope GroupScope(std::size_t group, int row) const {
        int first = row, last = row + 1;
        while (first > 0 && breaks_[static_cast<std::size_t>(first)] > group)
            --first;
        while (last < rows_ && breaks_[static_cast<std::size_t>(last)] > group)
            ++last;
        return {main_, first, last};
    }

    // ---- pages

    void StartPage() {
        // Page bands read the report's own rows, also when a nested table's row moved to this page.
        TClientDataSet* const nested = std::exchange(current_, nullptr);
        document_.pages.emplace_back();
        y_ = layout_.marginTop;
        if (document_.pages.size() == 1 && layout_.titleBand.present)
            Draw(layout_.titleBand, {main_, 0, rows_});
        if (layout_.pageHeader.present) Draw(layout_.pageHeader, {main_, 0, rows_});
        for (std::size_t g = 0; g < openGroups_; ++g)
            if (layout_.groups[g].repeatHeader && layout_.groups[g].header.present)
                Draw(layout_.groups[g].header, GroupScope(g, main_->RecNo() - 1));
        bodyTop_ = y_;
        current_ = nested;
    }

    void EndPage() {
        if (!layout_.pageFooter.present) return;
        TClientDataSet* const nested = std::exchange(current_, nullptr);
        y_ = bodyBottom_;
        Draw(layout_.pageFooter, {main_, 0, rows_});
        current_ = nested;
    }

    // A band in the flow: on the next page when it (and `keepWith` more) does not fit, unless the page
    // has nothing else yet.
    void Place(const TReportBand& band, TScope scope, double keepWith = 0) {
        if (y_ + band.height + keepWith > bodyBottom_ + 1e-9 && y_ > bodyTop_ + 1e-9) {
            EndPage();
            StartPage();
        }
        Draw(band, scope);
        for (const TNestedReport& nested : band.nested)
            PlaceNested(nested);
    }

    void PlaceNested(const TNestedReport& nested) {
        TClientDataSet* dataSet = DataSet(nested.dataset);
        if (!dataSet || dataSet->IsEmpty()) return;
        const TScope all{dataSet, 0, dataSet->RecordCount()};
        if (nested.header.present) Place(nested.header, all, nested.detail.height);
        for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) {
            current_ = dataSet;
            Place(nested.detail, all);
            current_ = nullptr;
        }
        if (nested.footer.present) {
            current_ = dataSet;
            Place(nested.footer, all);
            current_ = nullptr;
        }
    }

    void Draw(const TReportBand& band, const TScope& scope) {
        for (const TReportElement& element : band.elements)
            DrawElement(element, layout_.marginLeft, y_, 1.0, "", scope);
        y_ += band.height;
    }

    // ---- elements

    void DrawElement(const TReportElement& e, double originX, double originY, double scale,
                     const std::string& key, const TScope& scope) {
        TReportPage& page = document_.pages.back();
        const QRectF rect(originX + e.x * scale, originY + e.y, e.w * scale, e.h);
        switch (e.kind) {
        case TReportElement::Kind::Columns: {
            const TReportColumnSet& set = *layout_.FindColumnSet(e.columnSet);
            const TKeptColumns& kept = kept_.at(set.name);
            for (std::size_t i = 0; i < kept.keys.size(); ++i)
                for (const TReportElement& child : e.elements)
                    DrawElement(child, originX + kept.x + static_cast<double>(i) * kept.cellWidth, originY,
                                kept.cellWidth / set.cellWidth, kept.keys[i], scope);
            return;
        }
        case TReportElement::Kind::Line: {
            TDrawCommand line;
            line.kind = TDrawCommand::Kind::Line;
            line.rect =
                QRectF(rect.topLeft(), QPointF(rect.left() + rect.width(), rect.top() + rect.height()));
            line.lineWidth = e.lineWidth;
            page.commands.push_back(line);
            return;
        }
        case TReportElement::Kind::Box:
            page.commands.push_back(Frame(rect, e.lineWidth));
            return;
        default:
            break;
        }
        if (e.frame) page.commands.push_back(Frame(rect, e.lineWidth));
        TDrawCommand text;
        text.kind = TDrawCommand::Kind::Text;
        text.rect = rect;
        text.align = e.align;
        text.font = layout_.font;
        if (e.fontSize) text.font.size = *e.fontSize;
        if (e.bold) text.font.bold = *e.bold;
        text.text = e.kind == TReportElement::Kind::Text ? FilledText(WithKey(e.text, key))
                                                         : ValueText(e, key, scope);
        if (!text.text.empty()) page.commands.push_back(std::move(text));
    }

    static TDrawCommand Frame(const QRectF& rect, double width) {
        TDrawCommand frame;
        frame.kind = TDrawCommand::Kind::Box;
        frame.rect = rect;
        frame.lineWidth = width;
        return frame;
    }

    std::string FilledText(std::string text) const {
        text = Replaced(std::move(text), "[#PAGE]", std::to_string(document_.pages.size()));
        text = Replaced(std::move(text), "[#PAGES]", kPagesMarker);
        for (std::size_t at = text.find("[$"); at != std::string::npos; at = text.find("[$", at)) {
            const std::size_t end = text.find(']', at);
            if (end == std::string::npos) break;
            std::string name = text.substr(at + 2, end - at - 2);
            std::optional<std::string> fallback;
            if (const std::size_t bar = name.find('|'); bar != std::string::npos) {
                fallback = name.substr(bar + 1);
                name.resize(bar);
            }
            const FieldValue* value = Parameter(name);
            if (!value && !fallback) Fail("没有参数 '" + name + "'");
            std::string filled = value ? FormatReportValue(*value, TValueFormat::Auto, false) : std::string();
            if (filled.empty() && fallback) filled = *fallback;
            text.replace(at, end - at + 1, filled);
            at += filled.size();
        }
        return text;
    }

    std::string ValueText(const TReportElement& e, const std::string& key, const TScope& scope) const {
        std::vector<std::string> keys{key};
        if (!e.across.empty()) keys = layout_.FindColumnSet(e.across)->keys;
        TTotal total;
        TValueFormat format = e.format;
        for (const std::string& k : keys) {
            // Added up across a set, {key} stands for that set's keys, not the cell's own.
            const std::string name = WithKey(e.name, e.across.empty() ? key : k);
            if (e.kind == TReportElement::Kind::Param) {
                const FieldValue* value = Parameter(name);
                if (!value) Fail("没有参数 '" + name + "'");
                if (keys.size() == 1) return FormatReportValue(*value, format, e.blankZero);
                total.Add(*value);
                continue;
            }
            TClientDataSet& dataSet =
                e.kind == TReportElement::Kind::Field && current_ ? *current_ : *scope.dataSet;
            TField& field = FieldOf(dataSet, name);
            if (format == TValueFormat::Auto) format = FormatOfField(field.DataType());
            if (e.kind == TReportElement::Kind::Field) {
                if (keys.size() == 1) return FormatReportValue(field.Value(), format, e.blankZero);
                total.Add(field.Value());
                continue;
            }
            for (int row = scope.first; row < scope.last; ++row)
                total.Add(scope.dataSet->ValueAt(row, field.Index()));
            if (format == TValueFormat::Auto && IsIntegerField(field.DataType()))
                format = TValueFormat::Integer;
        }
        return FormatReportValue(total.Value(), format, e.blankZero);
    }

    const TReportLayout& layout_;
    const std::map<std::string, TClientDataSet*>& dataSets_;
    const std::map<std::string, FieldValue>& parameters_;
    TReportDocument document_;
    TClientDataSet* main_ = nullptr;
    TClientDataSet* current_ = nullptr; // a nested band's dataset while its rows print
    int rows_ = 0;
    std::vector<std::size_t> breaks_;
    std::map<std::string, TKeptColumns> kept_;
    mutable std::map<std::pair<const TClientDataSet*, std::string>, TField*> fields_;
    std::size_t openGroups_ = 0; // groups whose header printed and footer not yet
    double y_ = 0, bodyTop_ = 0, bodyBottom_ = 0;
};

} // namespace

std::string FormatReportValue(const FieldValue& value, TValueFormat format, bool blankZero) {
    if (value.IsNull()) return {};
    if (blankZero && IsNumber(value) && std::fabs(NumberOf(value)) < 0.005) return {};
    char text[64];
    switch (format) {
    case TValueFormat::Integer:
        if (IsNumber(value)) return std::to_string(std::llround(NumberOf(value)));
        break;
    case TValueFormat::Money:
        if (IsNumber(value)) {
            const double rounded = std::round(NumberOf(value) * 100) / 100;
            std::snprintf(text, sizeof text, "%.2f", rounded == 0 ? 0.0 : rounded);
            return text;
        }
        break;
    case TValueFormat::Number:
        if (IsNumber(value)) {
            std::snprintf(text, sizeof text, "%.15g", NumberOf(value));
            return text;
        }
        break;
    case TValueFormat::Date:
    case TValueFormat::DateTime:
    case TValueFormat::Minutes:
        if (IsNumber(value)) {
            try {
                if (format == TValueFormat::Date) return FormatDateIso(NumberOf(value));
                const std::string full = FormatDateTimeIso(NumberOf(value));
                return format == TValueFormat::Minutes ? full.substr(0, 16) : full;
            } catch (const DateTimeError&) {
            }
        }
        break;
    case TValueFormat::Auto:
        if (value.GetKind() == FieldValue::Kind::Integer) return std::to_string(value.Integer());
        if (value.GetKind() == FieldValue::Kind::Float)
            return FormatReportValue(value, TValueFormat::Money, false);
        break;
    case TValueFormat::Text:
        break;
    }
    switch (value.GetKind()) {
    case FieldValue::Kind::String:
        return std::string(value.String());
    case FieldValue::Kind::Boolean:
        return value.Boolean() ? "是" : "否";
    case FieldValue::Kind::Integer:
        return std::to_string(value.Integer());
    case FieldValue::Kind::Float:
        std::snprintf(text, sizeof text, "%.15g", value.Float());
        return text;
    default:
        return {};
    }
}

TReportEngine::TReportEngine(TReportLayout layout) : layout_(std::move(layout)) {}

void TReportEngine::SetDataSet(const std::string& alias, TClientDataSet* dataSet) {
    dataSets_[alias] = dataSet;
}

void TReportEngine::SetParameter(const std::string& name, FieldValue value) {
    parameters_[name] = std::move(value);
}

TReportDocument TReportEngine::Build() {
    return TLayouter(layout_, dataSets_, parameters_).Run();
}

} // namespace kav
