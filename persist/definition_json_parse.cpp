#include "persist/definition_json_parse.h"

#include <cctype>
#include <utility>
#include <vector>

namespace veltrane::persist::json_form {
namespace {

// A definition nests four levels deep (macros, a macro, a stroke, its
// modifiers); anything far deeper is not one.
constexpr std::size_t kMaxDepth = 16;

// Builds the DOM from nlohmann's SAX events, keeping the path to the value
// being read so that a refusal can say where it is.
class CheckedBuilder {
 public:
  using number_integer_t = Dom::number_integer_t;
  using number_unsigned_t = Dom::number_unsigned_t;
  using number_float_t = Dom::number_float_t;
  using string_t = Dom::string_t;
  using binary_t = Dom::binary_t;

  bool null() { return Put(Dom(nullptr)); }
  bool boolean(bool v) { return Put(Dom(v)); }
  bool number_integer(number_integer_t v) { return Put(Dom(v)); }
  bool number_unsigned(number_unsigned_t v) { return Put(Dom(v)); }
  bool number_float(number_float_t v, const string_t&) { return Put(Dom(v)); }
  bool string(string_t& v) { return Put(Dom(std::move(v))); }
  bool binary(binary_t& v) { return Put(Dom(std::move(v))); }
  bool start_object(std::size_t) { return Open(Dom::object()); }
  bool start_array(std::size_t) { return Open(Dom::array()); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }

  bool key(string_t& name) {
    Frame& frame = frames_.back();
    if (frame.container->contains(name)) {
      frame.name.clear();
      return Fail("\"" + name + "\" is given twice");
    }
    frame.name = std::move(name);
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex) {
    // nlohmann's text: "[json.exception.parse_error.101] parse error at line 1, column 2: ..."
    std::string text = ex.what();
    const std::size_t at = text.find(" at line ");
    error_ = at == std::string::npos ? text : text.substr(at + 4);
    return false;
  }

  Dom& root() { return root_; }
  std::string& error() { return error_; }

 private:
  struct Frame {
    Dom* container;
    std::string name;       // the member being read, in an object
    std::size_t index = 0;  // the items read so far, in an array

    // The path segment of the value being read; none before the first.
    std::string Segment() const {
      if (container->is_object()) return name.empty() ? "" : MemberPath(name);
      return index == 0 ? "" : "[" + std::to_string(index - 1) + "]";
    }
  };

  // The slot of the next value in the innermost container, or the root.
  Dom* Slot() {
    if (frames_.empty()) return &root_;
    Frame& frame = frames_.back();
    if (frame.container->is_object()) return &(*frame.container)[frame.name];
    ++frame.index;
    frame.container->push_back(nullptr);
    return &frame.container->back();
  }

  bool Put(Dom value) {
    *Slot() = std::move(value);
    return true;
  }

  bool Open(Dom container) {
    if (frames_.size() >= kMaxDepth) return Fail("nested more than 16 levels deep");
    Dom* slot = Slot();
    *slot = std::move(container);
    frames_.push_back({slot, {}, 0});
    return true;
  }

  bool Close() {
    frames_.pop_back();
    return true;
  }

  bool Fail(const std::string& message) {
    std::string path;
    for (const Frame& frame : frames_) path += frame.Segment();
    error_ = (path.empty() ? "." : path) + ": " + message;
    return false;
  }

  Dom root_;
  std::vector<Frame> frames_;
  std::string error_;
};

bool IsIdentifier(std::string_view name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

}  // namespace

std::string MemberPath(std::string_view name) {
  if (IsIdentifier(name)) return "." + std::string(name);
  return "[" + Dom(std::string(name)).dump(-1, ' ', false, Dom::error_handler_t::replace) + "]";
}

ParsedText ParseDefinitionJson(std::string_view text) {
  CheckedBuilder builder;
  ParsedText parsed;
  if (!Dom::sax_parse(text, &builder)) {
    parsed.error = std::move(builder.error());
    if (parsed.error.empty()) parsed.error = "the text is not JSON";
    return parsed;
  }
  parsed.value = std::move(builder.root());
  return parsed;
}

}  // namespace veltrane::persist::json_form
