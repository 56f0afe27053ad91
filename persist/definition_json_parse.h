// SPDX-License-Identifier: MIT
// Parsing the JSON text with nlohmann's parser, refusing what its DOM would
// hide: a name given twice in one object, nesting deeper than a definition
// has, a NUL byte (which the parser takes as the end of the text) and control
// characters outside strings. Messages name the place and quote at most a
// readable piece of the text. Internal to persist/.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace veltrane::persist::json_form {

using Dom = nlohmann::json;

struct ParsedText {
  Dom value;
  std::string error;  // empty on success: "line 3, column 7: ..." or ".keys: ..."
};

ParsedText ParseDefinitionJson(std::string_view text);

// ".name", or ["name"] for a name that is not a plain identifier.
std::string MemberPath(std::string_view name);

// The text cut to at most `limit` characters (of UTF-8), "…" ending it when
// anything was cut.
std::string CutCharacters(std::string_view text, std::size_t limit);
// A path of more than 200 characters with its middle replaced by "…".
std::string CutPath(std::string_view path);

}  // namespace veltrane::persist::json_form
