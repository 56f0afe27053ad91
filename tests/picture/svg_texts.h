// SPDX-License-Identifier: MIT
// An SVG picture read back as a parser reads it: the texts of its groups.
#pragma once

#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <string>
#include <vector>

namespace veltrane::testing {

struct SvgText {
  std::string text;
  double textLength = 0;
};

class SvgDocument {
 public:
  explicit SvgDocument(const std::string& svg)
      : doc_(xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "picture.svg", "UTF-8",
                           XML_PARSE_NONET | XML_PARSE_NOBLANKS)) {}
  ~SvgDocument() {
    if (doc_ != nullptr) xmlFreeDoc(doc_);
  }
  SvgDocument(const SvgDocument&) = delete;
  SvgDocument& operator=(const SvgDocument&) = delete;

  bool WellFormed() const { return doc_ != nullptr; }

  // The texts of the group with this id, in order.
  std::vector<std::string> TextsOf(const std::string& id) const {
    std::vector<std::string> out;
    for (const SvgText& t : Texts("//*[local-name()='g'][@id='" + id + "']/*[local-name()='text']"))
      out.push_back(t.text);
    return out;
  }
  // Every text element matched by `xpath`, with its textLength.
  std::vector<SvgText> Texts(const std::string& xpath) const {
    std::vector<SvgText> out;
    for (xmlNodePtr node : Nodes(xpath)) {
      SvgText t;
      xmlChar* content = xmlNodeGetContent(node);
      t.text = reinterpret_cast<const char*>(content);
      xmlFree(content);
      if (xmlChar* length = xmlGetProp(node, BAD_CAST "textLength")) {
        t.textLength = std::stod(reinterpret_cast<const char*>(length));
        xmlFree(length);
      }
      out.push_back(std::move(t));
    }
    return out;
  }
  // The value of `attribute` of every element `xpath` matches.
  std::vector<std::string> Attributes(const std::string& xpath, const char* attribute) const {
    std::vector<std::string> out;
    for (xmlNodePtr node : Nodes(xpath)) {
      xmlChar* value = xmlGetProp(node, BAD_CAST attribute);
      out.push_back(value != nullptr ? reinterpret_cast<const char*>(value) : "");
      xmlFree(value);
    }
    return out;
  }

 private:
  std::vector<xmlNodePtr> Nodes(const std::string& xpath) const {
    std::vector<xmlNodePtr> out;
    if (doc_ == nullptr) return out;
    xmlXPathContextPtr context = xmlXPathNewContext(doc_);
    xmlXPathObjectPtr found = xmlXPathEvalExpression(BAD_CAST xpath.c_str(), context);
    if (found != nullptr && found->nodesetval != nullptr)
      for (int i = 0; i < found->nodesetval->nodeNr; ++i)
        out.push_back(found->nodesetval->nodeTab[i]);
    xmlXPathFreeObject(found);
    xmlXPathFreeContext(context);
    return out;
  }

  xmlDocPtr doc_;
};

}  // namespace veltrane::testing
