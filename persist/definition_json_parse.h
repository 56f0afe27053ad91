// Parsing the JSON text with nlohmann's parser, refusing what its DOM would
// hide: a name given twice in one object, and nesting deeper than a
// definition has. Internal to persist/.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace veltrane::persist::json_form {

using Dom = nlohmann::json;

struct ParsedText {
  Dom value;
  std::string error;  // empty on success: "line 3, column 7: ..." or ".keys: ..."
};

ParsedText ParseDefinitionJson(std::string_view text);

// ".name", or ["name"] for a name that is not a plain identifier.
std::string MemberPath(std::string_view name);

}  // namespace veltrane::persist::json_form
