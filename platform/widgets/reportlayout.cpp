#include "platform/widgets/reportlayout.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <map>
#include <set>

namespace kav {

namespace {

struct PaperSize {
    const char* name;
    double width, height;
};
constexpr PaperSize kPapers[] = {
    {"A3", 297, 420}, {"A4", 210, 297}, {"A5", 148, 210}, {"B5", 176, 250}, {"Letter", 215.9, 279.4}};

class TLayoutReader {
public:
    explicit TLayoutReader(std::string source) : source_(std::move(source)) {}

    TReportLayout Read(std::string_view json) {
        QJsonParseError error{};
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
        if (error.error != QJsonParseError::NoError)
            Fail("", "不是有效的 JSON (第 " + std::to_string(error.offset) +
                         " 字节: " + error.errorString().toStdString() + ")");
        if (!document.isObject()) Fail("", "应为一个 JSON 对象");
        const QJsonObject root = document.object();
        Only(root, "", {"title", "page", "font", "dataset", "columnSets", "bands", "groups"});

        TReportLayout layout;
        layout.source = source_;
        layout.title = Text(root, "title", "");
        ReadPage(root.value("page"), layout);
        layout.font = ReadFont(root.value("font"), "font", TReportFont{"WenQuanYi Micro Hei", 9, false});
        layout.dataset = Text(root, "dataset", "");
        if (layout.dataset.empty()) Fail("dataset", "缺少报表的数据集别名");

        const QJsonValue sets = root.value("columnSets");
        if (!sets.isUndefined() && !sets.isObject()) Fail("columnSets", "应为对象");
        const QJsonObject setObject = sets.toObject();
        for (auto it = setObject.begin(); it != setObject.end(); ++it)
            layout.columnSets.push_back(ReadColumnSet(it.key().toStdString(), it.value()));
        for (const TReportColumnSet& set : layout.columnSets) {
            if (set.follows.empty()) continue;
            const TReportColumnSet* followed = layout.FindColumnSet(set.follows);
            if (!followed) Fail("columnSets." + set.name + ".follows", "未声明的列组 '" + set.follows + "'");
            if (!followed->follows.empty())
                Fail("columnSets." + set.name + ".follows", "列组 '" + set.follows + "' 本身跟随其他列组");
        }
        columnSets_ = &layout.columnSets;

        const QJsonValue bands = root.value("bands");
        if (!bands.isObject()) Fail("bands", "缺少带区");
        const QJsonObject bandObject = bands.toObject();
        Only(bandObject, "bands", {"title", "pageHeader", "detail", "summary", "pageFooter"});
        layout.titleBand = ReadBand(bandObject.value("title"), "bands.title");
        layout.pageHeader = ReadBand(bandObject.value("pageHeader"), "bands.pageHeader");
        layout.detail = ReadBand(bandObject.value("detail"), "bands.detail");
        layout.summary = ReadBand(bandObject.value("summary"), "bands.summary");
        layout.pageFooter = ReadBand(bandObject.value("pageFooter"), "bands.pageFooter");

        const QJsonValue groups = root.value("groups");
        if (!groups.isUndefined() && !groups.isArray()) Fail("groups", "应为数组");
        int i = 0;
        for (const QJsonValue& item : groups.toArray()) {
            const std::string where = "groups[" + std::to_string(i++) + "]";
            if (!item.isObject()) Fail(where, "应为对象");
            const QJsonObject object = item.toObject();
            Only(object, where, {"fields", "header", "footer", "repeatHeader"});
            TReportGroup group;
            group.fields = Strings(object.value("fields"), where + ".fields");
            if (group.fields.empty()) Fail(where + ".fields", "至少需要一个字段");
            group.header = ReadBand(object.value("header"), where + ".header");
            group.footer = ReadBand(object.value("footer"), where + ".footer");
            group.repeatHeader = object.value("repeatHeader").toBool(false);
            layout.groups.push_back(std::move(group));
        }
        return layout;
    }

private:
    [[noreturn]] void Fail(const std::string& where, const std::string& why) const {
        throw EReportLayout("报表格式文件 " + source_ + (where.empty() ? "" : " 的 " + where) + ": " + why);
    }

    void Only(const QJsonObject& object, const std::string& where, std::set<std::string> allowed) const {
        for (auto it = object.begin(); it != object.end(); ++it)
            if (!allowed.count(it.key().toStdString()))
                Fail(where.empty() ? it.key().toStdString() : where + "." + it.key().toStdString(),
                     "未知的项");
    }

    std::string Text(const QJsonObject& object, const char* key, const char* fallback) const {
        const QJsonValue value = object.value(key);
        if (value.isUndefined()) return fallback;
        if (!value.isString()) Fail(key, "应为文字");
        return value.toString().toStdString();
    }

    double Number(const QJsonObject& object, const std::string& where, const char* key,
                  std::optional<double> fallback, bool mayBeNegative = false) const {
        const QJsonValue value = object.value(key);
        const std::string place = where.empty() ? key : where + "." + key;
        if (value.isUndefined()) {
            if (!fallback) Fail(place, "缺少数值");
            return *fallback;
        }
        if (!value.isDouble()) Fail(place, "应为数值");
        const double number = value.toDouble();
        if (number < 0 && !mayBeNegative) Fail(place, "不能为负数");
        return number;
    }

    void ReadPage(const QJsonValue& value, TReportLayout& layout) const {
        if (value.isUndefined()) return;
        if (!value.isObject()) Fail("page", "应为对象");
        const QJsonObject page = value.toObject();
        Only(page, "page", {"size", "orientation", "margins"});
        const QJsonValue size = page.value("size");
        if (size.isString()) {
            const std::string name = size.toString().toStdString();
            bool known = false;
            for (const PaperSize& paper : kPapers)
                if (name == paper.name) {
                    layout.pageWidth = paper.width;
                    layout.pageHeight = paper.height;
                    known = true;
                }
            if (!known) Fail("page.size", "未知的纸张 " + name);
        } else if (size.isArray()) {
            const QJsonArray pair = size.toArray();
            if (pair.size() != 2 || !pair[0].isDouble() || !pair[1].isDouble() || pair[0].toDouble() <= 0 ||
                pair[1].toDouble() <= 0)
                Fail("page.size", "应为纸张名称或 [宽, 高] 毫米");
            layout.pageWidth = pair[0].toDouble();
            layout.pageHeight = pair[1].toDouble();
        } else if (!size.isUndefined()) {
            Fail("page.size", "应为纸张名称或 [宽, 高] 毫米");
        }
        const std::string orientation = Text(page, "orientation", "portrait");
        if (orientation != "portrait" && orientation != "landscape")
            Fail("page.orientation", "应为 portrait 或 landscape");
        layout.landscape = orientation == "landscape";
        const QJsonValue margins = page.value("margins");
        if (margins.isDouble()) {
            if (margins.toDouble() < 0) Fail("page.margins", "不能为负数");
            layout.marginLeft = layout.marginTop = layout.marginRight = layout.marginBottom =
                margins.toDouble();
        } else if (margins.isArray()) {
            const QJsonArray four = margins.toArray();
            if (four.size() != 4) Fail("page.margins", "应为一个数值或 [左, 上, 右, 下]");
            double* targets[] = {&layout.marginLeft, &layout.marginTop, &layout.marginRight,
                                 &layout.marginBottom};
            for (int i = 0; i < 4; ++i) {
                if (!four[i].isDouble() || four[i].toDouble() < 0) Fail("page.margins", "应为非负数值");
                *targets[i] = four[i].toDouble();
            }
        } else if (!margins.isUndefined()) {
            Fail("page.margins", "应为一个数值或 [左, 上, 右, 下]");
        }
        const double width = layout.landscape ? layout.pageHeight : layout.pageWidth;
        const double height = layout.landscape ? layout.pageWidth : layout.pageHeight;
        if (layout.marginLeft + layout.marginRight >= width ||
            layout.marginTop + layout.marginBottom >= height)
            Fail("page.margins", "页边距大于纸张");
    }

    TReportFont ReadFont(const QJsonValue& value, const std::string& where, TReportFont font) const {
        if (value.isUndefined()) return font;
        if (!value.isObject()) Fail(where, "应为对象");
        const QJsonObject object = value.toObject();
        Only(object, where, {"family", "size", "bold"});
        font.family =
            object.value("family").isString() ? object.value("family").toString().toStdString() : font.family;
        font.size = Number(object, where, "size", font.size);
        if (font.size <= 0) Fail(where + ".size", "应大于零");
        if (object.contains("bold")) {
            if (!object.value("bold").isBool()) Fail(where + ".bold", "应为 true 或 false");
            font.bold = object.value("bold").toBool();
        }
        return font;
    }

    std::vector<std::string> Strings(const QJsonValue& value, const std::string& where) const {
        if (!value.isArray()) Fail(where, "应为文字数组");
        std::vector<std::string> strings;
        for (const QJsonValue& item : value.toArray()) {
            if (!item.isString() || item.toString().isEmpty()) Fail(where, "应为非空的文字");
            strings.push_back(item.toString().toStdString());
        }
        return strings;
    }

    TReportColumnSet ReadColumnSet(const std::string& name, const QJsonValue& value) const {
        const std::string where = "columnSets." + name;
        if (!value.isObject()) Fail(where, "应为对象");
        const QJsonObject object = value.toObject();
        Only(object, where,
             {"keys", "keepWhenNonZero", "x", "width", "cellWidth", "maxCellWidth", "follows"});
        TReportColumnSet set;
        set.name = name;
        set.keys = Strings(object.value("keys"), where + ".keys");
        if (set.keys.empty()) Fail(where + ".keys", "至少需要一个键");
        if (object.contains("keepWhenNonZero"))
            set.keepWhenNonZero = Strings(object.value("keepWhenNonZero"), where + ".keepWhenNonZero");
        set.follows = Text(object, "follows", "");
        set.x = Number(object, where, "x", set.follows.empty() ? std::nullopt : std::optional<double>(0));
        set.width = Number(object, where, "width", std::nullopt);
        set.cellWidth = Number(object, where, "cellWidth", std::nullopt);
        set.maxCellWidth = Number(object, where, "maxCellWidth", set.cellWidth);
        if (set.width <= 0 || set.cellWidth <= 0 || set.maxCellWidth <= 0) Fail(where, "宽度应大于零");
        return set;
    }

    TReportBand ReadBand(const QJsonValue& value, const std::string& where) const {
        TReportBand band;
        if (value.isUndefined()) return band;
        if (!value.isObject()) Fail(where, "应为对象");
        const QJsonObject object = value.toObject();
        Only(object, where, {"height", "elements", "nested"});
        band.present = true;
        band.height = Number(object, where, "height", std::nullopt);
        band.elements = ReadElements(object.value("elements"), where + ".elements", false);
        const QJsonValue nested = object.value("nested");
        if (!nested.isUndefined()) {
            if (!nested.isArray()) Fail(where + ".nested", "应为数组");
            int i = 0;
            for (const QJsonValue& item : nested.toArray()) {
                const std::string place = where + ".nested[" + std::to_string(i++) + "]";
                if (!item.isObject()) Fail(place, "应为对象");
                const QJsonObject n = item.toObject();
                Only(n, place, {"dataset", "header", "detail", "footer"});
                TNestedReport report;
                report.dataset = Text(n, "dataset", "");
                if (report.dataset.empty()) Fail(place + ".dataset", "缺少数据集别名");
                report.header = ReadBand(n.value("header"), place + ".header");
                report.detail = ReadBand(n.value("detail"), place + ".detail");
                report.footer = ReadBand(n.value("footer"), place + ".footer");
                if (!report.detail.present) Fail(place + ".detail", "缺少明细带区");
                band.nested.push_back(std::move(report));
            }
        }
        return band;
    }

    std::vector<TReportElement> ReadElements(const QJsonValue& value, const std::string& where,
                                             bool inCell) const {
        std::vector<TReportElement> elements;
        if (value.isUndefined()) return elements;
        if (!value.isArray()) Fail(where, "应为数组");
        int i = 0;
        for (const QJsonValue& item : value.toArray())
            elements.push_back(ReadElement(item, where + "[" + std::to_string(i++) + "]", inCell));
        return elements;
    }

    TReportElement ReadElement(const QJsonValue& value, const std::string& where, bool inCell) const {
        static const std::map<std::string, TReportElement::Kind> kinds = {
            {"text", TReportElement::Kind::Text},      {"field", TReportElement::Kind::Field},
            {"param", TReportElement::Kind::Param},    {"sum", TReportElement::Kind::Sum},
            {"line", TReportElement::Kind::Line},      {"box", TReportElement::Kind::Box},
            {"columns", TReportElement::Kind::Columns}};
        static const std::map<std::string, TValueFormat> formats = {
            {"auto", TValueFormat::Auto},         {"text", TValueFormat::Text},
            {"integer", TValueFormat::Integer},   {"money", TValueFormat::Money},
            {"number", TValueFormat::Number},     {"date", TValueFormat::Date},
            {"datetime", TValueFormat::DateTime}, {"minutes", TValueFormat::Minutes}};
        static const std::map<std::string, TReportAlign> aligns = {
            {"left", TReportAlign::Left}, {"center", TReportAlign::Center}, {"right", TReportAlign::Right}};

        if (!value.isObject()) Fail(where, "应为对象");
        const QJsonObject object = value.toObject();
        Only(object, where,
             {"type", "x", "y", "w", "h", "text", "name", "format", "blankZero", "across", "align", "size",
              "bold", "frame", "lineWidth", "set", "elements"});
        TReportElement element;
        const std::string type = object.value("type").toString().toStdString();
        const auto kind = kinds.find(type);
        if (kind == kinds.end()) Fail(where + ".type", "未知的元素类型 '" + type + "'");
        element.kind = kind->second;

        if (element.kind == TReportElement::Kind::Columns) {
            if (inCell) Fail(where, "列组中不能再有列组");
            element.columnSet = object.value("set").toString().toStdString();
            if (!FindSet(element.columnSet)) Fail(where + ".set", "未声明的列组 '" + element.columnSet + "'");
            element.elements = ReadElements(object.value("elements"), where + ".elements", true);
            return element;
        }
        const bool line = element.kind == TReportElement::Kind::Line;
        element.x = Number(object, where, "x", std::nullopt);
        element.y = Number(object, where, "y", std::nullopt);
        element.w = Number(object, where, "w", line ? std::optional<double>(0) : std::nullopt, line);
        element.h = Number(object, where, "h", line ? std::optional<double>(0) : std::nullopt, line);
        element.lineWidth = Number(object, where, "lineWidth", 0.2);

        const bool valued = element.kind == TReportElement::Kind::Field ||
                            element.kind == TReportElement::Kind::Param ||
                            element.kind == TReportElement::Kind::Sum;
        if (element.kind == TReportElement::Kind::Text) element.text = Text(object, "text", "");
        if (valued) {
            element.name = Text(object, "name", "");
            if (element.name.empty()) Fail(where + ".name", "缺少字段或参数名");
            const std::string format = Text(object, "format", "auto");
            const auto f = formats.find(format);
            if (f == formats.end()) Fail(where + ".format", "未知的格式 '" + format + "'");
            element.format = f->second;
            element.blankZero = object.value("blankZero").toBool(false);
            element.across = Text(object, "across", "");
            if (!element.across.empty() && !FindSet(element.across))
                Fail(where + ".across", "未声明的列组 '" + element.across + "'");
        }
        const std::string align = Text(object, "align", valued ? "right" : "left");
        const auto a = aligns.find(align);
        if (a == aligns.end()) Fail(where + ".align", "应为 left、center 或 right");
        element.align = a->second;
        if (object.contains("size")) element.fontSize = Number(object, where, "size", std::nullopt);
        if (object.contains("bold")) element.bold = object.value("bold").toBool();
        element.frame = object.value("frame").toBool(false);
        return element;
    }

    const TReportColumnSet* FindSet(const std::string& name) const {
        for (const TReportColumnSet& set : *columnSets_)
            if (set.name == name) return &set;
        return nullptr;
    }

    std::string source_;
    const std::vector<TReportColumnSet>* columnSets_ = nullptr;
};

} // namespace

const TReportColumnSet* TReportLayout::FindColumnSet(std::string_view name) const {
    for (const TReportColumnSet& set : columnSets)
        if (set.name == name) return &set;
    return nullptr;
}

TReportLayout ParseReportLayout(std::string_view json, const std::string& source) {
    return TLayoutReader(source).Read(json);
}

TReportLayout LoadReportLayout(const std::filesystem::path& file) {
    QFile in(QString::fromStdString(file.string()));
    if (!in.open(QIODevice::ReadOnly))
        throw EReportLayout("报表格式文件 " + file.string() + " 无法读取: " + in.errorString().toStdString());
    const QByteArray bytes = in.readAll();
    return ParseReportLayout(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                             file.string());
}

} // namespace kav
