// SPDX-License-Identifier: MIT
#include "link/keyboards.h"

#include <cstring>
#include <vector>

namespace veltrane::link {
namespace {

std::string LowBytes(const ProductStringBuffer& chars) {
  std::string text;
  for (std::size_t k = 0; k < chars.size() && chars[k] != 0; ++k)
    text.push_back(static_cast<char>(chars[k] & 0xFF));
  return text;
}

ListedKeyboard Describe(DeviceLayer& layer, const LinkState& state, DeviceHandle handle,
                        std::string path) {
  ListedKeyboard keyboard;
  ProductStringBuffer serial{};
  if (layer.SerialString(handle, serial)) keyboard.serial = LowBytes(serial);
  layer.Attributes(handle, keyboard.attributes);
  keyboard.location = layer.Location(path);
  keyboard.text = std::string(ProductTextOf(state));
  keyboard.path = std::move(path);
  return keyboard;
}

}  // namespace

std::vector<ListedKeyboard> ListKeyboards(DeviceLayer& layer, LinkState& state) {
  state.openDenied = false;
  state.accessProblem.fill('\0');
  std::vector<ListedKeyboard> keyboards;
  for (int index = 0; index < kListAttempts; ++index) {
    std::string path;
    const DeviceHandle handle = OpenInterface(layer, state, index, path);
    if (handle == kNoDevice) continue;
    keyboards.push_back(Describe(layer, state, handle, std::move(path)));
    layer.Close(handle);
  }
  if (keyboards.empty()) SetProductText(state, kNotFoundText);
  return keyboards;
}

InterfaceEntry ChosenKeyboardLayer::Interface(int index) {
  if (path_.empty()) return Inner().Interface(index);
  if (index != 0) return InterfaceEntry{};
  for (int inner = 0; inner < kListAttempts; ++inner) {
    InterfaceEntry entry = Inner().Interface(inner);
    if (entry.status == InterfaceStatus::NoDeviceSet && inner == 0) return entry;
    if (entry.status != InterfaceStatus::Present) continue;
    std::string cut = entry.path;
    CutAtKbd(cut);
    if (cut == path_) return entry;
  }
  return InterfaceEntry{};
}

void ChosenKeyboardLayer::Message(const char* text, const char* caption) {
  if (std::strcmp(text, "Done") != 0) Inner().Message(text, caption);
}

void ChosenKeyboardLayer::Print(const char* text) {
  if (std::strcmp(text, "Found keyboard\n\n") != 0) Inner().Print(text);
}

BlockVerification VerifyBlock(DeviceLayer& layer, LinkState& state, const std::uint8_t* expected,
                         std::uint32_t address, std::uint32_t count, ProgressCallback progress) {
  BlockVerification result;
  // A refused range is told as ReadFirmWare tells it, before a buffer is sized for it.
  if (ClassifyRead(expected, address, count) == TransferKind::Refused) {
    ReadFirmWare(layer, state, nullptr, address, count, progress);
    return result;
  }
  std::vector<std::uint8_t> read(std::size_t{address} + count);
  result.read = ReadFirmWare(layer, state, read.data(), address, count, progress) == 1;
  if (!result.read) return result;
  result.firstDifference = address + count;
  for (std::uint32_t k = address; k < address + count; ++k) {
    if (read[k] == expected[k]) continue;
    if (result.differences == 0) result.firstDifference = k;
    ++result.differences;
  }
  return result;
}

}  // namespace veltrane::link
