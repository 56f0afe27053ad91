// SPDX-License-Identifier: MIT
#include "persist/definition_json_parse.h"

#include <cctype>
#include <cstdio>
#include <utility>
#include <vector>

namespace veltrane::persist::json_form {
namespace {

// A definition nests four levels deep (macros, a macro, a stroke, its
// modifiers); anything far deeper is not one.
constexpr std::size_t kMaxDepth = 16;
constexpr std::size_t kQuotedCharacters = 60;
constexpr std::size_t kPathCharacters = 200;
// nlohmann's exception for a number beyond the range of a double.
constexpr int kNumberOverflow = 406;

bool Continues(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t Characters(std::string_view text) {
  std::size_t n = 0;
  for (char c : text) n += Continues(c) ? 0 : 1;
  return n;
}

// The byte at which the character after the first `count` characters starts.
std::size_t ByteOfCharacter(std::string_view text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t seen = 0; at < text.size(); ++at) {
    if (!Continues(text[at]) && seen++ == count) break;
  }
  return at;
}

// nlohmann's message without its tag ("[json.exception.parse_error.101] ")
// and its position words, with the text it quotes cut to a readable length.
std::string ParserMessage(const std::string& what) {
  std::string text = what;
  if (const std::size_t at = text.find(" at line "); at != std::string::npos) {
    text = text.substr(at + 4);
  } else if (text.starts_with("[json.exception.")) {
    const std::size_t end = text.find("] ");
    if (end != std::string::npos) text = text.substr(end + 2);
  }
  constexpr std::string_view kLastRead = "; last read: '";
  if (const std::size_t at = text.find(kLastRead); at != std::string::npos) {
    const std::size_t start = at + kLastRead.size();
    const std::size_t end = text.size() - (text.ends_with("'") ? 1 : 0);
    text = text.substr(0, start) +
           CutCharacters(std::string_view(text).substr(start, end - start), kQuotedCharacters) +
           "'";
  }
  return text;
}

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
      return Fail(Quoted(name) + " is given twice");
    }
    frame.name = std::move(name);
    return true;
  }

  bool parse_error(std::size_t position, const std::string& token,
                   const nlohmann::detail::exception& ex) {
    failedAt_ = position;
    // The number was read whole: where it stands is known.
    if (ex.id == kNumberOverflow) {
      reading_ = true;
      return Fail(CutCharacters(token, kQuotedCharacters) + " is not a number this field can hold");
    }
    error_ = ParserMessage(ex.what());
    return false;
  }

  Dom& root() { return root_; }
  std::string& error() { return error_; }
  // The byte offset past what the parser read when it failed.
  std::size_t failedAt() const { return failedAt_; }

 private:
  struct Frame {
    Dom* container;
    std::string name;       // the member being read, in an object
    std::size_t index = 0;  // the items read so far, in an array
  };

  static std::string Quoted(const std::string& name) {
    const std::string dumped = Dom(name).dump(-1, ' ', false, Dom::error_handler_t::replace);
    return "\"" +
           CutCharacters(std::string_view(dumped).substr(1, dumped.size() - 2), kQuotedCharacters) +
           "\"";
  }

  // The path segment of frame `i`: the member or item being read in it.
  std::string Segment(std::size_t i) const {
    const Frame& frame = frames_[i];
    if (frame.container->is_object()) return frame.name.empty() ? "" : MemberPath(frame.name);
    // The innermost array's next item is the one being read when it failed.
    const bool pending = reading_ && i + 1 == frames_.size();
    const std::size_t items = frame.index + (pending ? 1 : 0);
    return items == 0 ? "" : "[" + std::to_string(items - 1) + "]";
  }

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
    for (std::size_t i = 0; i < frames_.size(); ++i) path += Segment(i);
    error_ = CutPath(path.empty() ? "." : path) + ": " + message;
    return false;
  }

  Dom root_;
  std::vector<Frame> frames_;
  std::string error_;
  std::size_t failedAt_ = std::string::npos;
  bool reading_ = false;
};

bool IsIdentifier(std::string_view name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

// The first NUL byte, or control character outside a string, that the
// parser would take as the end or trip over without saying what it is;
// text.size() when there is none.
std::size_t FirstStrayControl(std::string_view text) {
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == 0) return i;
    if (inString) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      return i;
    }
  }
  return text.size();
}

// "line 3, column 7: a NUL byte" for the byte at `at`; columns count bytes, as the parser's do.
std::string StrayControlMessage(std::string_view text, std::size_t at) {
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < at; ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  const auto c = static_cast<unsigned char>(text[at]);
  char what[96];
  if (c == 0) {
    std::snprintf(what, sizeof what, "a NUL byte; the text ends only at its last byte");
  } else {
    std::snprintf(what, sizeof what, "control character U+%04X outside a string", c);
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what;
}

}  // namespace

std::string MemberPath(std::string_view name) {
  if (IsIdentifier(name)) return "." + std::string(name);
  return "[" + Dom(std::string(name)).dump(-1, ' ', false, Dom::error_handler_t::replace) + "]";
}

std::string CutCharacters(std::string_view text, std::size_t limit) {
  if (Characters(text) <= limit) return std::string(text);
  return std::string(text.substr(0, ByteOfCharacter(text, limit))) + "\u2026";
}

std::string CutPath(std::string_view path) {
  const std::size_t characters = Characters(path);
  if (characters <= kPathCharacters) return std::string(path);
  const std::size_t head = (kPathCharacters - 1) / 2;
  const std::size_t tail = kPathCharacters - 1 - head;
  return std::string(path.substr(0, ByteOfCharacter(path, head))) + "\u2026" +
         std::string(path.substr(ByteOfCharacter(path, characters - tail)));
}

ParsedText ParseDefinitionJson(std::string_view text) {
  const std::size_t stray = FirstStrayControl(text);
  CheckedBuilder builder;
  ParsedText parsed;
  const bool ok = Dom::sax_parse(text, &builder);
  // The parser's own complaint stands where it comes before the stray byte.
  if (stray < text.size() &&
      (ok || builder.failedAt() == std::string::npos || builder.failedAt() > stray)) {
    parsed.error = StrayControlMessage(text, stray);
    return parsed;
  }
  if (!ok) {
    parsed.error = std::move(builder.error());
    if (parsed.error.empty()) parsed.error = "the text is not JSON";
    return parsed;
  }
  parsed.value = std::move(builder.root());
  return parsed;
}

}  // namespace veltrane::persist::json_form
