// SPDX-License-Identifier: MIT
// Random definitions for the image round trips.
#pragma once

#include <array>
#include <random>

#include "model/definition.h"
#include "model/key_tables.h"

namespace veltrane::eeprom::test {

using model::KeyboardDefinition;
using model::KeyLayer;

class RandomDefinitions {
 public:
  explicit RandomDefinitions(unsigned seed) : random_(seed) {}

  void Fill(KeyboardDefinition& def) {
    const double layerChance = Uniform(0.05, 0.6);
    for (model::KeyDefinition& key : def.keys) {
      key.used = Chance(0.85) ? 1 : 0;
      for (KeyLayer& layer : key.layers)
        if (Chance(layerChance)) FillLayer(layer);
    }
    for (model::StringRow& row : def.stringWorkBuffer) {
      const int strokes = Chance(0.3) ? Int(1, 12) : 0;
      for (int i = 0; i < strokes; ++i)
        row[static_cast<std::size_t>(i)] = {Byte(), static_cast<std::uint8_t>(Int(1, 255)), Byte(),
                                            Byte()};
      row[static_cast<std::size_t>(strokes)] = model::StringChar{};
    }
  }

  // One firmware of every range the image layout knows: the usual, the key
  // mode order of 500..699 and the LED bits of 1415..1499.
  int Firmware() {
    return std::array{0, 412, 527, 600, 1420, 1520}[static_cast<std::size_t>(Int(0, 5))];
  }

  // A number in a..b.
  int Int(int a, int b) { return std::uniform_int_distribution<int>(a, b)(random_); }
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }

 private:
  void FillLayer(KeyLayer& layer) {
    if (Chance(0.2)) {
      layer = KeyLayer{};
      layer.keytype = model::STRING_KEY;
      layer.ibmkey = Int(0, 127);
    } else {
      model::AssignTableKey(layer, Int(0, model::kIbmKeyRowCount - 1));
      if (Chance(0.1)) layer.keytype |= model::KEYTYPE_LIGHT_DOWN;
      if (Chance(0.1)) layer.scan2code = Byte();  // stale code
    }
    layer.keymode = static_cast<std::uint8_t>(Int(0, 0x3F));
    layer.used = 1;
  }
  double Uniform(double a, double b) {
    return std::uniform_real_distribution<double>(a, b)(random_);
  }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Int(0, 255)); }

  std::mt19937 random_;
};

}  // namespace veltrane::eeprom::test
