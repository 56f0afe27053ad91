// SPDX-License-Identifier: MIT
// Keyboards in memory for the station's tests: plugged and unplugged by the
// test, faults per keyboard, and a download that can be held part way.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "station/keyboard_port.h"

namespace veltrane::station::testing {

struct FakeKeyboard {
  std::string version = "V0527X Fake keyboard";
  std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(3072, 0xFF);
  bool refuse = false;   // every download fails
  bool corrupt = false;  // the download loses byte 0x10
  bool hold = false;     // a download waits half way until Release
  bool unreadable = false;
  int downloads = 0;
  int locks = 0;  // holds not given back
};

class FakePort final : public KeyboardPort {
 public:
  FakeKeyboard& Plug(const std::string& path, const std::string& version = "V0527X Fake keyboard") {
    const std::lock_guard lock(mutex_);
    FakeKeyboard& keyboard = attached_[path];
    keyboard = FakeKeyboard{};
    keyboard.version = version;
    return keyboard;
  }
  // The keyboard stays known to the test (Downloads, Memory) after it is unplugged.
  void Unplug(const std::string& path) {
    const std::lock_guard lock(mutex_);
    unplugged_[path] = attached_.at(path);
    attached_.erase(path);
    changed_.notify_all();
  }
  void Hold(const std::string& path) {
    const std::lock_guard lock(mutex_);
    attached_.at(path).hold = true;
  }
  void Release() {
    const std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  // Waits until a held download is half way.
  void WaitUntilHeld() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return holding_ > 0; });
  }
  int Downloads(const std::string& path) {
    const std::lock_guard lock(mutex_);
    return Find(path).downloads;
  }
  std::vector<std::uint8_t> Memory(const std::string& path) {
    const std::lock_guard lock(mutex_);
    return Find(path).memory;
  }
  void SetUnreadable(const std::string& path) {
    const std::lock_guard lock(mutex_);
    attached_.at(path).unreadable = true;
  }
  // A keyboard that holds these bytes, as another station left it.
  void SetMemory(const std::string& path, std::vector<std::uint8_t> memory) {
    const std::lock_guard lock(mutex_);
    attached_.at(path).memory = std::move(memory);
  }
  int Locks(const std::string& path) {
    const std::lock_guard lock(mutex_);
    return Find(path).locks;
  }
  void SetFault(const std::string& path, bool refuse, bool corrupt) {
    const std::lock_guard lock(mutex_);
    attached_.at(path).refuse = refuse;
    attached_.at(path).corrupt = corrupt;
  }
  std::string accessProblem;

  PortListing List() override {
    const std::lock_guard lock(mutex_);
    PortListing listing;
    for (const auto& [path, keyboard] : attached_)
      listing.keyboards.push_back(
          PortKeyboard{path, "", "1-" + path.substr(path.size() - 1), keyboard.version});
    listing.accessProblem = accessProblem;
    return listing;
  }

  LockResult Lock(const std::string& path, std::string& reason) override {
    const std::lock_guard lock(mutex_);
    if (!attached_.contains(path)) {
      reason = "not there";
      return LockResult::Failed;
    }
    ++attached_.at(path).locks;
    return LockResult::Locked;
  }
  void Unlock(const std::string& path) override {
    const std::lock_guard lock(mutex_);
    --Find(path).locks;
  }
  PortResult Read(const std::string& path, std::span<std::uint8_t> bytes) override {
    const std::lock_guard lock(mutex_);
    if (!attached_.contains(path) || attached_.at(path).unreadable)
      return PortResult{false, "Set or GetFeature failed"};
    const std::vector<std::uint8_t>& memory = attached_.at(path).memory;
    std::copy_n(memory.begin(), std::min(memory.size(), bytes.size()), bytes.begin());
    return PortResult{true, {}};
  }
  PortWrite ProgramAndVerify(const std::string& path, std::span<const std::uint8_t> bytes,
                             bool verify, const PortStep& step) override {
    std::unique_lock lock(mutex_);
    if (!attached_.contains(path)) return PortWrite{false, false, "not there"};
    FakeKeyboard& keyboard = attached_.at(path);
    ++keyboard.downloads;
    if (keyboard.refuse)
      return PortWrite{false, false, "Setfeature returned: 5 Input/output error"};
    for (int n = 0; n < 50; ++n) step(false, n);
    if (keyboard.hold) {
      ++holding_;
      changed_.notify_all();
      changed_.wait(lock, [this] { return released_; });
      --holding_;
      if (!attached_.contains(path))
        return PortWrite{false, false, "Setfeature returned: 19 No such device"};
    }
    for (int n = 50; n < 100; ++n) step(false, n);
    std::copy(bytes.begin(), bytes.end(), keyboard.memory.begin());
    if (keyboard.corrupt) keyboard.memory[0x10] ^= 0xFF;
    if (!verify) return PortWrite{true, false, {}};
    for (int n = 0; n < 100; ++n) step(true, n);
    if (std::equal(bytes.begin(), bytes.end(), keyboard.memory.begin()))
      return PortWrite{true, true, {}};
    return PortWrite{true, false, "1 byte differs; first at 0x0010"};
  }

 private:
  FakeKeyboard& Find(const std::string& path) {
    const auto found = attached_.find(path);
    return found != attached_.end() ? found->second : unplugged_.at(path);
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, FakeKeyboard> attached_;
  std::map<std::string, FakeKeyboard> unplugged_;
  int holding_ = 0;
  bool released_ = false;
};

}  // namespace veltrane::station::testing
