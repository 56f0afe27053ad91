// SPDX-License-Identifier: MIT
#include "gui/keyedit/tabbed_line_delegate.h"

#include <QApplication>
#include <QPainter>

namespace veltrane::gui {

std::vector<int> TabbedTextPositions(std::span<const int> widths, std::span<const int> stops,
                                     int blankWidth) {
  std::vector<int> positions;
  int x = 0;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    if (i > 0) {
      const int end = x + widths[i - 1];
      x = end + blankWidth;
      for (const int stop : stops) {
        if (stop > end) {
          x = stop;
          break;
        }
      }
    }
    positions.push_back(x);
  }
  return positions;
}

TabbedLineDelegate::TabbedLineDelegate(std::span<const int> stopUnits, QObject* parent)
    : QStyledItemDelegate(parent), stopUnits_(stopUnits.begin(), stopUnits.end()) {}

void TabbedLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QStringList texts = opt.text.split(QLatin1Char('\t'));
  opt.text.clear();
  const QWidget* widget = opt.widget;
  QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);  // background, selection

  const QFontMetrics metrics(opt.font);
  // The platform's base unit: the mean width of the 52 letters.
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
  std::vector<int> stops;
  for (const int units : stopUnits_) stops.push_back(units * letters / (52 * 4));
  std::vector<int> widths;
  for (const QString& text : texts) widths.push_back(metrics.horizontalAdvance(text));
  const std::vector<int> x = TabbedTextPositions(widths, stops, metrics.horizontalAdvance(' '));

  const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
  const bool selected = (opt.state & QStyle::State_Selected) != 0;
  const QPalette::ColorGroup group =
      (opt.state & QStyle::State_Active) != 0 ? QPalette::Active : QPalette::Inactive;
  painter->save();
  painter->setFont(opt.font);
  painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
  for (int i = 0; i < texts.size(); ++i) {
    QRect cell = area;
    cell.setLeft(area.left() + x[static_cast<std::size_t>(i)]);
    painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, texts[i]);
  }
  painter->restore();
}

}  // namespace veltrane::gui
