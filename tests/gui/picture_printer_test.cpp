// SPDX-License-Identifier: MIT
// The keymap on a printer: a sheet per page, the page range kept, and the
// painter's picture the layout's (colours in their places, texts in their keys).
#include "gui/picture_printer.h"

#include <gtest/gtest.h>

#include <QImage>

#include "support/files.h"
#include "support/temp_dir.h"
#include "tests/picture/sample_definition.h"
#include "ui/app/picture_commands.h"

namespace veltrane::testing {
namespace {

std::vector<picture::Page> SamplePages() {
  ui::AppState app;
  ui::StartApplication(app);
  app.doc.def = *SampleDefinition();
  return ui::PicturePages(app);
}

std::size_t PdfPages(const std::string& pdf) {
  std::size_t count = 0;
  for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos;
       at = pdf.find("/Type /Page", at + 1))
    count += pdf.compare(at, 12, "/Type /Pages") != 0;
  return count;
}

TEST(PicturePrinter, EveryPageOrTheChosenRangeGetsASheet) {
  const TempDir dir;
  const std::vector<picture::Page> pages = SamplePages();
  for (const bool range : {false, true}) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.File("keys.pdf")));
    if (range) {
      printer.setPrintRange(QPrinter::PageRange);
      printer.setFromTo(2, 3);
    }
    ASSERT_TRUE(gui::PrintPages(printer, pages));
    EXPECT_EQ(PdfPages(ReadFileText(dir.File("keys.pdf"))), range ? 2u : 4u);
  }
}

TEST(PicturePrinter, ThePaintedPageIsTheLayoutsPage) {
  const std::vector<picture::Page> pages = SamplePages();
  const picture::Page& base = pages.front();
  QImage image(static_cast<int>(base.width), static_cast<int>(base.height), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  gui::PaintPage(painter, base);
  painter.end();
  const auto boxOf = [&](const std::string& id) {
    for (const picture::Group& g : base.groups)
      if (g.id == id) return g.boxes.at(0);
    ADD_FAILURE() << id;
    return picture::Box{};
  };
  // Inside a key, left of its texts: the key's fill.
  for (const char* id : {"base-0-0", "base-7-1"}) {
    const picture::Box box = boxOf(id);
    const QColor shown =
        image.pixelColor(static_cast<int>(box.x + 2), static_cast<int>(box.y + box.height / 2));
    EXPECT_EQ(shown, QColor(box.fill.r, box.fill.g, box.fill.b)) << id;
  }
  // The middle of "Esc" is dark: the text is drawn where the layout put it.
  const picture::Box esc = boxOf("base-0-0");
  int dark = 0;
  for (int x = static_cast<int>(esc.x); x < static_cast<int>(esc.x + esc.width); ++x)
    dark += image.pixelColor(x, static_cast<int>(esc.y + 20)).lightness() < 100;
  EXPECT_GT(dark, 2);
}

}  // namespace
}  // namespace veltrane::testing
