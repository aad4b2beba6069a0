#include "xlsxcells.h"

#include <QProcess>
#include <QXmlStreamReader>
#include <stdexcept>
#include <vector>

namespace kav::test {

namespace {

QByteArray Member(const QString& file, const QString& member) {
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, member});
    if (!unzip.waitForFinished(30000) || unzip.exitCode() != 0)
        throw std::runtime_error(("cannot unpack " + member + " of " + file).toStdString());
    return unzip.readAllStandardOutput();
}

// "BC12" -> (11, 54)
std::pair<int, int> CellPosition(QStringView reference) {
    int column = 0, i = 0;
    while (i < reference.size() && reference[i].isLetter())
        column = column * 26 + (reference[i++].unicode() - 'A' + 1);
    return {reference.mid(i).toInt() - 1, column - 1};
}

// Text of the current element's <t> children up to its end (rich text runs included).
QString ElementText(QXmlStreamReader& xml, const QString& end) {
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("t")) text += xml.readElementText();
        if (xml.isEndElement() && xml.name() == end) break;
    }
    return text;
}

struct CellStyle {
    QString format;
    bool bold = false;
};

std::vector<CellStyle> Styles(const QString& file) {
    QXmlStreamReader xml(Member(file, QStringLiteral("xl/styles.xml")));
    std::map<int, QString> formats = {{14, QStringLiteral("m/d/yyyy")}};
    std::vector<bool> boldFonts;
    std::vector<CellStyle> styles;
    bool inCellXfs = false, inFont = false;
    while (!xml.atEnd()) {
        xml.readNext();
        const auto name = xml.name();
        if (xml.isStartElement()) {
            if (name == QLatin1String("numFmt"))
                formats[xml.attributes().value("numFmtId").toInt()] =
                    xml.attributes().value("formatCode").toString();
            if (name == QLatin1String("font")) {
                inFont = true;
                boldFonts.push_back(false);
            }
            if (name == QLatin1String("b") && inFont) boldFonts.back() = true;
            if (name == QLatin1String("cellXfs")) inCellXfs = true;
            if (name == QLatin1String("xf") && inCellXfs) {
                const int format = xml.attributes().value("numFmtId").toInt();
                const auto font = static_cast<std::size_t>(xml.attributes().value("fontId").toInt());
                styles.push_back(
                    {format ? formats[format] : QString(), font < boldFonts.size() && boldFonts[font]});
            }
        } else if (xml.isEndElement()) {
            if (name == QLatin1String("font")) inFont = false;
            if (name == QLatin1String("cellXfs")) inCellXfs = false;
        }
    }
    return styles;
}

} // namespace

std::map<std::pair<int, int>, XlsxCell> ReadXlsxCells(const QString& file) {
    std::vector<QString> shared;
    {
        QProcess list;
        list.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), file});
        list.waitForFinished(30000);
        if (list.readAllStandardOutput().contains("xl/sharedStrings.xml")) {
            QXmlStreamReader xml(Member(file, QStringLiteral("xl/sharedStrings.xml")));
            while (!xml.atEnd())
                if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si"))
                    shared.push_back(ElementText(xml, QStringLiteral("si")));
        }
    }
    const std::vector<CellStyle> styles = Styles(file);

    std::map<std::pair<int, int>, XlsxCell> cells;
    QXmlStreamReader xml(Member(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("c")) continue;
        const auto position = CellPosition(xml.attributes().value("r"));
        const QString type = xml.attributes().value("t").toString();
        const auto style = static_cast<std::size_t>(xml.attributes().value("s").toInt());
        XlsxCell cell;
        if (style < styles.size()) {
            cell.format = styles[style].format;
            cell.bold = styles[style].bold;
        }
        QString value;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == QLatin1String("v")) value = xml.readElementText();
            if (xml.isStartElement() && xml.name() == QLatin1String("is")) value = ElementText(xml, "is");
            if (xml.isEndElement() && xml.name() == QLatin1String("c")) break;
        }
        if (type == QLatin1String("s")) {
            cell.text = shared.at(static_cast<std::size_t>(value.toInt()));
        } else {
            cell.text = value;
            cell.number = type.isEmpty() || type == QLatin1String("n");
            cell.boolean = type == QLatin1String("b");
        }
        cells[position] = cell;
    }
    if (xml.hasError()) throw std::runtime_error(("bad worksheet in " + file).toStdString());
    return cells;
}

QString ReadXlsxSheetName(const QString& file) {
    QXmlStreamReader xml(Member(file, QStringLiteral("xl/workbook.xml")));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("sheet"))
            return xml.attributes().value("name").toString();
    return {};
}

} // namespace kav::test
