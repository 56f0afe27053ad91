// SPDX-License-Identifier: MIT
#include "gui/picture_printer.h"

#include <QFontMetricsF>
#include <QPrintDialog>
#include <algorithm>

#include "gui/dialogs/control_widgets.h"
#include "picture/text_fit.h"

namespace veltrane::gui {
namespace {

// Texts are drawn at this pixel size and scaled to theirs, so that a size in
// points means the same on a screen, a 1200 dpi printer and a PDF.
constexpr int kReferenceSize = 100;

QColor ToQColor(picture::Color c) {
  return QColor(c.r, c.g, c.b);
}

void PaintText(QPainter& painter, const picture::Text& t) {
  QFont font(QString::fromLatin1(picture::kFontFamily));
  font.setPixelSize(kReferenceSize);
  font.setBold(t.bold);
  const QString text = ToQString(t.text);
  const double scale = t.size / kReferenceSize;
  const double natural = QFontMetricsF(font).horizontalAdvance(text) * scale;
  const double stretch = natural > 0 && t.width > 0 ? t.width / natural : 1;
  const double width = natural * stretch;
  painter.save();
  painter.translate(t.anchor == picture::Anchor::Middle ? t.x - width / 2 : t.x, t.y);
  painter.scale(scale * stretch, scale);
  painter.setFont(font);
  painter.setPen(ToQColor(t.color));
  painter.drawText(QPointF(0, 0), text);
  painter.restore();
}

}  // namespace

void PaintPage(QPainter& painter, const picture::Page& page) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(QRectF(0, 0, page.width, page.height), Qt::white);
  for (const picture::Group& g : page.groups) {
    for (const picture::Box& b : g.boxes) {
      painter.setPen(b.strokeWidth > 0 ? QPen(ToQColor(b.stroke), b.strokeWidth) : QPen(Qt::NoPen));
      painter.setBrush(ToQColor(b.fill));
      painter.drawRect(QRectF(b.x, b.y, b.width, b.height));
    }
    for (const picture::Line& l : g.lines) {
      painter.setPen(QPen(ToQColor(l.color), l.width));
      painter.drawLine(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2));
    }
    for (const picture::Text& t : g.texts) PaintText(painter, t);
  }
  painter.restore();
}

bool PrintPages(QPrinter& printer, const std::vector<picture::Page>& pages) {
  const bool range = printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0;
  const int first = range ? printer.fromPage() - 1 : 0;
  const int last = range ? std::min<int>(printer.toPage(), static_cast<int>(pages.size())) - 1
                         : static_cast<int>(pages.size()) - 1;
  QPainter painter;
  if (first > last || !painter.begin(&printer)) return false;
  const QRectF paper = printer.pageLayout().paintRectPixels(printer.resolution());
  for (int i = first; i <= last; ++i) {
    const picture::Page& page = pages[static_cast<std::size_t>(i)];
    if (i > first) printer.newPage();
    const double scale = std::min(paper.width() / page.width, paper.height() / page.height);
    painter.save();
    painter.translate((paper.width() - page.width * scale) / 2,
                      (paper.height() - page.height * scale) / 2);
    painter.scale(scale, scale);
    PaintPage(painter, page);
    painter.restore();
  }
  return painter.end();
}

void RunPrintDialog(QWidget* parent, const std::vector<picture::Page>& pages,
                    model::MessageSink& messages) {
  if (pages.empty()) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(ToQString(pages.front().title));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setFromTo(1, static_cast<int>(pages.size()));
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(QStringLiteral("Print keymap"));
  dialog.setMinMax(1, static_cast<int>(pages.size()));
  dialog.setOption(QAbstractPrintDialog::PrintPageRange);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!PrintPages(printer, pages))
    messages.Show("The keymap could not be printed on " +
                      ToBytes(printer.printerName().isEmpty() ? printer.outputFileName()
                                                              : printer.printerName()) +
                      ".",
                  "Print", model::MessageIcon::Error);
}

}  // namespace veltrane::gui
