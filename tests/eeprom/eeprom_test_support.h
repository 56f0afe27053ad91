// Definitions, sinks and directories shared by the image tests.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "eeprom/image_layout.h"
#include "model/definition.h"
#include "model/diagnostics.h"
#include "model/key_tables.h"

namespace veltrane::eeprom::test {

class CapturedLog : public model::LogSink {
 public:
  void Write(std::string_view text) override { text_.append(text); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

struct Box {
  std::string text;
  std::string caption;
};

class CapturedMessages : public model::MessageSink {
 public:
  void Show(std::string_view text, std::string_view caption, model::MessageIcon) override {
    boxes.push_back({std::string(text), std::string(caption)});
  }
  std::vector<Box> boxes;
};

// The start-up definition, on the heap: the work buffer alone is 40 KiB.
inline std::unique_ptr<model::KeyboardDefinition> StartUpDefinition() {
  auto def = std::make_unique<model::KeyboardDefinition>();
  model::InitialiseDefinition(*def);
  return def;
}

inline model::KeyLayer& Layer(model::KeyboardDefinition& def, int row, int column, int layer) {
  return def.keys[static_cast<std::size_t>(model::KeyIndex(row, column))]
      .layers[static_cast<std::size_t>(layer)];
}

// A used layer holding IbmKeyTable row `ibmRow` with the given mode.
inline model::KeyLayer& UseTableKey(model::KeyboardDefinition& def, int row, int column, int layer,
                                    int ibmRow, std::uint8_t keymode = 0) {
  model::KeyLayer& l = Layer(def, row, column, layer);
  model::AssignTableKey(l, ibmRow);
  l.keymode = keymode;
  l.used = 1;
  return l;
}

inline model::KeyLayer& UseString(model::KeyboardDefinition& def, int row, int column, int layer,
                                  int string) {
  model::KeyLayer& l = Layer(def, row, column, layer);
  l = model::KeyLayer{};
  l.used = 1;
  l.keytype = model::STRING_KEY;
  l.ibmkey = string;
  return l;
}

inline model::StringChar Stroke(int i) {
  return {0x02, static_cast<std::uint8_t>(4 + i % 90), static_cast<std::uint8_t>(i), 0};
}

inline void SetString(model::KeyboardDefinition& def, int string, int strokes) {
  model::StringRow& row = def.stringWorkBuffer[static_cast<std::size_t>(string)];
  for (int i = 0; i < strokes; ++i) row[static_cast<std::size_t>(i)] = Stroke(i);
  row[static_cast<std::size_t>(strokes)] = model::StringChar{};
}

inline EepromImage FilledImage(std::uint8_t value) {
  EepromImage image;
  image.fill(value);
  return image;
}

class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "veltrane-eeprom-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern + "/";
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }  // ends in a separator

 private:
  std::string path_;
};

}  // namespace veltrane::eeprom::test
