// SPDX-License-Identifier: MIT
#include "picture/svg_writer.h"

#include <cstdio>

#include "picture/text_fit.h"

namespace veltrane::picture {
namespace {

// A coordinate with at most two decimals, without trailing zeros.
std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string out = text;
  while (out.back() == '0') out.pop_back();
  if (out.back() == '.') out.pop_back();
  return out == "-0" ? "0" : out;
}

std::string Hex(Color c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
  return text;
}

void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
}

void AppendGroup(std::string& out, const Group& g) {
  out += "<g id=\"";
  AppendEscaped(out, g.id);
  out += "\" class=\"";
  AppendEscaped(out, g.kind);
  out += "\">\n";
  for (const Box& b : g.boxes) {
    out += "<rect x=\"" + Number(b.x) + "\" y=\"" + Number(b.y) + "\" width=\"" + Number(b.width) +
           "\" height=\"" + Number(b.height) + "\" fill=\"" + Hex(b.fill) + "\"";
    if (b.strokeWidth > 0)
      out += " stroke=\"" + Hex(b.stroke) + "\" stroke-width=\"" + Number(b.strokeWidth) + "\"";
    out += "/>\n";
  }
  for (const Line& l : g.lines)
    out += "<line x1=\"" + Number(l.x1) + "\" y1=\"" + Number(l.y1) + "\" x2=\"" + Number(l.x2) +
           "\" y2=\"" + Number(l.y2) + "\" stroke=\"" + Hex(l.color) + "\" stroke-width=\"" +
           Number(l.width) + "\"/>\n";
  for (const Text& t : g.texts) {
    out += "<text x=\"" + Number(t.x) + "\" y=\"" + Number(t.y) + "\" font-size=\"" +
           Number(t.size) + "\"";
    if (t.bold) out += " font-weight=\"bold\"";
    if (t.color != Color{}) out += " fill=\"" + Hex(t.color) + "\"";
    if (t.anchor == Anchor::Middle) out += " text-anchor=\"middle\"";
    out += " textLength=\"" + Number(t.width) + "\" lengthAdjust=\"spacingAndGlyphs\">";
    AppendEscaped(out, t.text);
    out += "</text>\n";
  }
  out += "</g>\n";
}

}  // namespace

std::string WriteSvg(std::span<const Page> pages) {
  double width = 0, height = 0;
  for (const Page& page : pages) {
    width = std::max(width, page.width);
    height += page.height;
  }
  std::string out;
  out.reserve(256 * 1024);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + Number(width) +
         "pt\" height=\"" + Number(height) + "pt\" viewBox=\"0 0 " + Number(width) + " " +
         Number(height) + "\" font-family=\"'" + kFontFamily +
         "', Verdana, sans-serif\" xml:space=\"preserve\">\n";
  if (!pages.empty()) {
    out += "<title>";
    AppendEscaped(out, pages.front().title);
    out += "</title>\n";
  }
  double top = 0;
  for (const Page& page : pages) {
    out += "<g class=\"page\" transform=\"translate(0 " + Number(top) + ")\">\n";
    out += "<rect width=\"" + Number(page.width) + "\" height=\"" + Number(page.height) +
           "\" fill=\"#ffffff\"/>\n";
    for (const Group& g : page.groups) AppendGroup(out, g);
    out += "</g>\n";
    top += page.height;
  }
  out += "</svg>\n";
  return out;
}

}  // namespace veltrane::picture
