#include "platform/widgets/qtext.h"
#include "reports/common/kavvtree.h"

#include <QHeaderView>
#include <functional>
#include <set>

namespace kav::reports {

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kCodeRole = Qt::UserRole + 1;

QTreeWidgetItem* NewNode(const QString& text, const std::string& code, int kind) {
    auto* item = new QTreeWidgetItem({text});
    item->setData(0, kKindRole, kind);
    item->setData(0, kCodeRole, Q(code));
    item->setToolTip(0, Q(code));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    return item;
}

void ForEach(QTreeWidgetItem* item, const std::function<void(QTreeWidgetItem*)>& visit) {
    visit(item);
    for (int i = 0; i < item->childCount(); ++i)
        ForEach(item->child(i), visit);
}

} // namespace

TKavVTree::TKavVTree(QWidget* parent) : QTreeWidget(parent) {
    header()->hide();
    setUniformRowHeights(true);
    // Ticking a node ticks (or clears) everything under it; a node's own tick stays its own, since a centre
    // is a sales group of its own too.
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
        const Qt::CheckState state = item->checkState(0);
        blockSignals(true);
        for (int i = 0; i < item->childCount(); ++i)
            ForEach(item->child(i), [state](QTreeWidgetItem* child) { child->setCheckState(0, state); });
        blockSignals(false);
    });
}

std::map<std::string, QTreeWidgetItem*> TKavVTree::BuildGroups(const std::vector<TReportGroup>& groups) {
    clear();
    std::set<std::string> owners;
    for (const TReportGroup& group : groups)
        if (!group.owner.empty() && group.owner != group.code) owners.insert(group.owner);
    std::map<std::string, QTreeWidgetItem*> nodes;
    for (const TReportGroup& group : groups) {
        const bool centre = owners.count(group.code) > 0;
        QString text = Q(group.name);
        if (centre) text += group.owner.empty() || group.owner == group.code ? CenterLabel : BranchLabel;
        nodes[group.code] = NewNode(text, group.code, kGroupNode);
    }
    // A group sits under its owning centre; centres and groups whose owner is not listed are top nodes.
    for (const TReportGroup& group : groups) {
        QTreeWidgetItem* node = nodes[group.code];
        const auto owner = nodes.find(group.owner);
        if (group.owner != group.code && owner != nodes.end())
            owner->second->addChild(node);
        else
            addTopLevelItem(node);
    }
    expandToDepth(0);
    return nodes;
}

std::vector<std::string> TKavVTree::CheckedCodes(int kind) const {
    std::vector<std::string> codes;
    for (int i = 0; i < topLevelItemCount(); ++i)
        ForEach(topLevelItem(i), [&](QTreeWidgetItem* item) {
            if (item->data(0, kKindRole).toInt() == kind && item->checkState(0) == Qt::Checked)
                codes.push_back(item->data(0, kCodeRole).toString().toStdString());
        });
    return codes;
}

QTreeWidgetItem* TKavVTree::Node(const std::string& code, int kind) const {
    QTreeWidgetItem* found = nullptr;
    for (int i = 0; i < topLevelItemCount() && !found; ++i)
        ForEach(topLevelItem(i), [&](QTreeWidgetItem* item) {
            if (!found && item->data(0, kKindRole).toInt() == kind &&
                item->data(0, kCodeRole).toString() == Q(code))
                found = item;
        });
    return found;
}

bool TKavVTree::SetChecked(const std::string& code, bool checked) {
    QTreeWidgetItem* node = Node(code, kUserNode);
    if (!node) node = Node(code, kGroupNode);
    if (node) node->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    return node != nullptr;
}

void TKavVTree::CheckAll() {
    expandAll();
    for (int i = 0; i < topLevelItemCount(); ++i)
        topLevelItem(i)->setCheckState(0, Qt::Checked);
}

TKavVTUser::TKavVTUser(QWidget* parent) : TKavVTree(parent) {
    setObjectName(QStringLiteral("KavVTUser"));
}

void TKavVTUser::ShowData(const std::vector<TReportGroup>& groups, const std::vector<TReportUser>& users) {
    std::map<std::string, QTreeWidgetItem*> nodes = BuildGroups(groups);
    std::map<std::string, int> placed; // users under each group so far: they come before its groups
    for (const TReportUser& user : users) {
        QString text = Q(user.name) + QStringLiteral(" [") + Q(user.code) + QStringLiteral("]");
        if (!user.valid) text += QStringLiteral(" (停用)");
        QTreeWidgetItem* node = NewNode(text, user.code, kUserNode);
        const auto group = nodes.find(user.group);
        if (group != nodes.end())
            group->second->insertChild(placed[user.group]++, node);
        else
            addTopLevelItem(node);
    }
}

TKavVTGroup::TKavVTGroup(QWidget* parent) : TKavVTree(parent) {
    setObjectName(QStringLiteral("KavVTGroup"));
}

void TKavVTGroup::ShowData(const std::vector<TReportGroup>& groups) {
    BuildGroups(groups);
}

} // namespace kav::reports
