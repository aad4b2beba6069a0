#include "orderhandler/odrhoptionsset.h"

#include "orderhandler/odrhcolumns.h"
#include "platform/core/atomicfile.h"

#include <QDomDocument>
#include <QFile>
#include <array>
#include <optional>

namespace kav::orderhandler {

namespace {

const QString kRoot = QStringLiteral("OptionsSet");
const QString kSet = QStringLiteral("OrderHandler_OrderTitlesShowSet");
const QString kSortItem = QStringLiteral("OrderTitlesSortItem");
const QString kShowItem = QStringLiteral("OrderTitlesShowItem");
const QString kSortPrefix = QStringLiteral("Sort_");
const QString kShowPrefix = QStringLiteral("TitlesShow_");

std::optional<QDomDocument> ReadDocument(const std::filesystem::path& file) {
    QFile in(QString::fromStdString(file.string()));
    if (!in.open(QIODevice::ReadOnly)) return std::nullopt;
    QDomDocument document;
    if (!document.setContent(&in)) return std::nullopt;
    return document;
}

// The column index at each position, every index once.
std::array<int, kOrderColumnCount> PositionsOf(const QDomElement& sortItem) {
    std::array<std::optional<int>, kOrderColumnCount> chosen;
    std::array<bool, kOrderColumnCount> used{};
    for (int position = 0; position < kOrderColumnCount; ++position) {
        const QString attribute = kSortPrefix + QString::number(position + 1);
        if (!sortItem.hasAttribute(attribute)) continue;
        bool ok = false;
        const int index = sortItem.attribute(attribute).trimmed().toInt(&ok);
        if (!ok || index < 0 || index >= kOrderColumnCount || used[static_cast<std::size_t>(index)]) continue;
        chosen[static_cast<std::size_t>(position)] = index;
        used[static_cast<std::size_t>(index)] = true;
    }
    std::array<int, kOrderColumnCount> positions{};
    for (int position = 0; position < kOrderColumnCount; ++position) {
        auto& slot = chosen[static_cast<std::size_t>(position)];
        if (!slot) {
            int index = position;
            if (used[static_cast<std::size_t>(index)]) {
                index = 0;
                while (used[static_cast<std::size_t>(index)])
                    ++index;
            }
            slot = index;
            used[static_cast<std::size_t>(index)] = true;
        }
        positions[static_cast<std::size_t>(position)] = *slot;
    }
    return positions;
}

// The indexes of the columns the show element names; empty when it names none.
std::array<bool, kOrderColumnCount> ShownOf(const QDomElement& showItem, bool& any) {
    std::array<bool, kOrderColumnCount> shown{};
    any = false;
    const QDomNamedNodeMap attributes = showItem.attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        if (!attribute.name().startsWith(kShowPrefix)) continue;
        if (auto index = FindOrderColumn(attribute.value().trimmed().toStdString())) {
            shown[static_cast<std::size_t>(*index)] = true;
            any = true;
        }
    }
    return shown;
}

} // namespace

TOrderTitleInfoList DefaultOrderTitles() {
    TOrderTitleInfoList titles;
    for (int index = 0; index < kOrderColumnCount; ++index)
        titles.Add(MakeOrderTitleInfoRecord(index));
    NumberOrderTitles(titles);
    return titles;
}

TOrderTitleInfoList LoadOrderTitles(const std::filesystem::path& file) {
    const std::optional<QDomDocument> document = ReadDocument(file);
    const QDomElement set = document ? document->documentElement().firstChildElement(kSet) : QDomElement();
    if (set.isNull()) return DefaultOrderTitles();

    const std::array<int, kOrderColumnCount> positions = PositionsOf(set.firstChildElement(kSortItem));
    bool anyShown = false;
    const std::array<bool, kOrderColumnCount> shown = ShownOf(set.firstChildElement(kShowItem), anyShown);
    TOrderTitleInfoList titles;
    for (int index : positions) {
        auto record = MakeOrderTitleInfoRecord(index);
        record->shown = !anyShown || shown[static_cast<std::size_t>(index)];
        titles.Add(std::move(record));
    }
    NumberOrderTitles(titles);
    return titles;
}

void SaveOrderTitles(const TOrderTitleInfoList& titles, const std::filesystem::path& file) {
    QDomDocument document = ReadDocument(file).value_or(QDomDocument());
    QDomElement root = document.documentElement();
    if (root.isNull()) {
        document.appendChild(
            document.createProcessingInstruction(QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
        root = document.createElement(kRoot);
        document.appendChild(root);
    }
    QDomElement set = root.firstChildElement(kSet);
    if (set.isNull()) set = root.appendChild(document.createElement(kSet)).toElement();
    while (!set.firstChild().isNull())
        set.removeChild(set.firstChild());
    QDomElement sortItem = set.appendChild(document.createElement(kSortItem)).toElement();
    QDomElement showItem = set.appendChild(document.createElement(kShowItem)).toElement();
    int shownNumber = 0;
    for (int position = 0; position < titles.Count(); ++position) {
        const TOrderTitleInfoRecord& title = titles.Items(position);
        sortItem.setAttribute(kSortPrefix + QString::number(position + 1), title.index);
        if (title.shown)
            showItem.setAttribute(kShowPrefix + QString::number(++shownNumber), QString::fromStdString(title.fieldName));
    }
    const QByteArray bytes = document.toByteArray(2);
    WriteFileAtomically(file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void NumberOrderTitles(TOrderTitleInfoList& titles) {
    int column = 0;
    for (const auto& title : titles)
        title->columnIndex = title->shown ? column++ : -1;
}

} // namespace kav::orderhandler
