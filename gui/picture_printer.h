// SPDX-License-Identifier: MIT
// The keymap picture on paper: its pages painted with QPainter (a page per
// sheet, scaled to fit, centred), after the platform's print dialog.
#pragma once

#include <QPainter>
#include <QPrinter>
#include <vector>

#include "model/diagnostics.h"
#include "picture/page.h"

namespace veltrane::gui {

// Paints `page` in points from the painter's origin, each text stretched to
// the width the layout measured, as the SVG does.
void PaintPage(QPainter& painter, const picture::Page& page);

// Prints the pages (those of the printer's page range, when one is chosen);
// false when the printer could not be started.
bool PrintPages(QPrinter& printer, const std::vector<picture::Page>& pages);

// "Print…": the print dialog over `parent`, then the pages; a printer that
// fails is told (caption "Print").
void RunPrintDialog(QWidget* parent, const std::vector<picture::Page>& pages,
                    model::MessageSink& messages);

}  // namespace veltrane::gui
