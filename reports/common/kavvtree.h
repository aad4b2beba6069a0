#pragma once
// The trees of sales groups and users the user and group reports choose from. Centres (the groups that
// own others) are the top nodes, shown with a label after their name: CenterLabel for a centre that owns
// itself (the head centre), BranchLabel for the others; under each centre its groups, and in the user tree
// under each group its users. Every node has a check box; ticking a node ticks what is under it, and a
// centre's own tick stands for its own group.
// GUI thread only.

#include "reports/common/reportlookups.h"

#include <QTreeWidget>
#include <map>
#include <string>
#include <vector>

namespace kav::reports {

class TKavVTree : public QTreeWidget {
    Q_OBJECT

public:
    QString CenterLabel = QStringLiteral("(总中心)");
    QString BranchLabel = QStringLiteral("(分中心)");

    // Ticks or clears a node by its code; false when there is none.
    bool SetChecked(const std::string& code, bool checked);
    // Expands every node and ticks every one.
    void CheckAll();

protected:
    explicit TKavVTree(QWidget* parent);
    // Builds the group nodes; returns each group's node by code.
    std::map<std::string, QTreeWidgetItem*> BuildGroups(const std::vector<TReportGroup>& groups);
    std::vector<std::string> CheckedCodes(int kind) const;
    QTreeWidgetItem* Node(const std::string& code, int kind) const;

    static constexpr int kGroupNode = 1;
    static constexpr int kUserNode = 2;
};

class TKavVTUser final : public TKavVTree {
    Q_OBJECT

public:
    explicit TKavVTUser(QWidget* parent = nullptr);
    void ShowData(const std::vector<TReportGroup>& groups, const std::vector<TReportUser>& users);
    // The ticked users' codes.
    std::vector<std::string> SelectedCodes() const { return CheckedCodes(kUserNode); }
};

class TKavVTGroup final : public TKavVTree {
    Q_OBJECT

public:
    explicit TKavVTGroup(QWidget* parent = nullptr);
    void ShowData(const std::vector<TReportGroup>& groups);
    // The ticked groups' codes.
    std::vector<std::string> SelectedCodes() const { return CheckedCodes(kGroupNode); }
};

} // namespace kav::reports
