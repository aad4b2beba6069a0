#pragma once
// The order and customer labels of the order properties windows: each label shows its caption and
// the order's value ("订单号：K010000001").
//
// Threading: GUI thread only.

#include "orderhandler/odrhrecords.h"

#include <QWidget>
#include <map>
#include <string>
#include <vector>

class QGridLayout;
class QLabel;

namespace kav::orderhandler {

struct TInfoItem {
    const char* name;    // the label's object name
    const char* caption; // "订单号："
    std::string value;
};

// Order code, source, time, sale class, ticket count and amount.
std::vector<TInfoItem> OrderInfoItems(const TodrHOrderInfoRecord& order);
// Customer type, certificate, phones, name, address, shipping way, invoice head and comment: what the
// customer details dialog changes.
std::vector<TInfoItem> CustomerInfoItems(const TodrHOrderInfoRecord& order);

// The labels in a grid of `columns` columns, in the order first shown.
class TInfoLabels final : public QWidget {
    Q_OBJECT

public:
    TInfoLabels(int columns, QWidget* parent = nullptr);

    // Makes the labels the first time an item is named, then only sets their text.
    void Show(const std::vector<TInfoItem>& items);
    QString Text(const char* name) const;

private:
    QGridLayout* grid_;
    int columns_;
    std::map<std::string, QLabel*> labels_;
};

} // namespace kav::orderhandler
