#pragma once
// The seat lists of the order windows: section, floor, row and seat number of each seat, optionally
// led by its order code. Rows are copies of the seats (the window's list never points into a record
// that may change under it).
//
// Threading: GUI thread only.

#include "orderhandler/odrhrecords.h"

#include <vector>

class QTreeWidget;
class QWidget;

namespace kav::orderhandler {

QTreeWidget* MakeSeatTree(QWidget* parent, const char* objectName, bool withOrderCode);
void FillSeatTree(QTreeWidget& tree, const std::vector<const TodrHSeatInfoRecord*>& seats, bool withOrderCode);
void FillSeatTree(QTreeWidget& tree, const TodrHSeatInfoList& seats, bool withOrderCode);

} // namespace kav::orderhandler
