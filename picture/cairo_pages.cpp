// SPDX-License-Identifier: MIT
#include "picture/cairo_pages.h"

#include <cairo-pdf.h>

#include <algorithm>
#include <cmath>

#include "picture/pango_text.h"
#include "veltrane_version.h"

namespace veltrane::picture {
namespace {

void SetColor(cairo_t* cr, Color c) {
  cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

void DrawText(cairo_t* cr, PangoLayout* layout, const Text& t) {
  SetLayoutFont(layout, t.size, t.bold);
  pango_layout_set_text(layout, t.text.data(), static_cast<int>(t.text.size()));
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  const double width = static_cast<double>(logical.width) / PANGO_SCALE;
  const double baseline = static_cast<double>(pango_layout_get_baseline(layout)) / PANGO_SCALE;
  SetColor(cr, t.color);
  cairo_move_to(cr, t.anchor == Anchor::Middle ? t.x - width / 2 : t.x, t.y - baseline);
  pango_cairo_show_layout(cr, layout);
}

// Collects what cairo writes.
cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

void DrawPage(cairo_t* cr, const Page& page) {
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, page.width, page.height);
  SetColor(cr, {0xff, 0xff, 0xff});
  cairo_fill(cr);
  PangoLayout* layout = pango_cairo_create_layout(cr);
  UseExactMetrics(pango_layout_get_context(layout));
  pango_layout_context_changed(layout);
  for (const Group& g : page.groups) {
    for (const Box& b : g.boxes) {
      cairo_rectangle(cr, b.x, b.y, b.width, b.height);
      SetColor(cr, b.fill);
      if (b.strokeWidth <= 0) {
        cairo_fill(cr);
        continue;
      }
      cairo_fill_preserve(cr);
      SetColor(cr, b.stroke);
      cairo_set_line_width(cr, b.strokeWidth);
      cairo_stroke(cr);
    }
    for (const Line& l : g.lines) {
      cairo_move_to(cr, l.x1, l.y1);
      cairo_line_to(cr, l.x2, l.y2);
      SetColor(cr, l.color);
      cairo_set_line_width(cr, l.width);
      cairo_stroke(cr);
    }
    for (const Text& t : g.texts) DrawText(cr, layout, t);
  }
  g_object_unref(layout);
  cairo_restore(cr);
}

std::string WritePdf(std::span<const Page> pages) {
  std::string bytes;
  if (pages.empty()) return bytes;
  cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(
      Append, &bytes, pages.front().width, pages.front().height);
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, pages.front().title.c_str());
  const std::string creator = "Veltrane " + std::string(kVersion);
  cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_CREATOR, creator.c_str());
  cairo_t* cr = cairo_create(surface);
  for (const Page& page : pages) {
    cairo_pdf_surface_set_size(surface, page.width, page.height);
    DrawPage(cr, page);
    cairo_show_page(cr);
  }
  cairo_destroy(cr);
  cairo_surface_finish(surface);
  const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok ? bytes : std::string();
}

std::string WritePng(std::span<const Page> pages, double pixelsPerPoint) {
  double width = 0, height = 0;
  for (const Page& page : pages) {
    width = std::max(width, page.width);
    height += page.height;
  }
  std::string bytes;
  cairo_surface_t* surface = cairo_image_surface_create(
      CAIRO_FORMAT_RGB24, static_cast<int>(std::ceil(width * pixelsPerPoint)),
      static_cast<int>(std::ceil(height * pixelsPerPoint)));
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);  // also the pixels that a page covers in part
  cairo_paint(cr);
  cairo_scale(cr, pixelsPerPoint, pixelsPerPoint);
  for (const Page& page : pages) {
    DrawPage(cr, page);
    cairo_translate(cr, 0, page.height);
  }
  cairo_destroy(cr);
  const bool ok =
      cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS &&
      cairo_surface_write_to_png_stream(surface, Append, &bytes) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return ok ? bytes : std::string();
}

}  // namespace veltrane::picture
