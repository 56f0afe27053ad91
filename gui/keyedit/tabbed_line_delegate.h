// SPDX-License-Identifier: MIT
// Draws list lines whose columns are separated by tabs, each column at the
// next tab stop past the end of the text before it, as tabbed list boxes do.
#pragma once

#include <QStyledItemDelegate>
#include <span>
#include <vector>

namespace veltrane::gui {

// Left edge of each of the tab-separated texts of the given widths: the first
// at 0, each next one at the first stop beyond the end of the one before, or
// a blank's width past it when no stop is left.
std::vector<int> TabbedTextPositions(std::span<const int> widths, std::span<const int> stops,
                                     int blankWidth);

class TabbedLineDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  // Tab stops in list-box units: a quarter of the mean width
  // of the font's letters.
  TabbedLineDelegate(std::span<const int> stopUnits, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  std::vector<int> stopUnits_;
};

}  // namespace veltrane::gui
