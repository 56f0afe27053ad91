// SPDX-License-Identifier: MIT
#include "ui/app/undo_history.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <type_traits>
#include <utility>

namespace veltrane::ui {
namespace {

static_assert(std::is_trivially_copyable_v<model::KeyDefinition>);
static_assert(std::is_trivially_copyable_v<model::StringRow>);

// Two runs closer than this are kept as one: a run's own record costs more.
constexpr std::size_t kJoinGap = 8;
constexpr std::size_t kBlock = 64;

template <typename T>
std::span<const std::uint8_t> BytesOf(const T& value) {
  return {reinterpret_cast<const std::uint8_t*>(&value), sizeof(T)};
}

template <typename T>
std::span<std::uint8_t> BytesOf(T& value) {
  return {reinterpret_cast<std::uint8_t*>(&value), sizeof(T)};
}

// The bytes a step covers, region by region, in one order.
template <typename Def, typename Visit>
void ForEachRegion(Def& def, Visit visit) {
  visit(BytesOf(def.keys));
  visit(BytesOf(def.stringWorkBuffer));
}

bool SameSettings(const model::Settings& a, const model::Settings& b) {
  model::Settings named = a;
  named.ConfigFileName = b.ConfigFileName;  // the file's name, not the definition's
  return named == b;
}

// Where `a` and `b` differ: runs within one region, joined across short gaps.
template <typename Emit>
void DiffRegion(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b, std::size_t base,
                Emit emit) {
  const std::size_t size = a.size();
  std::size_t i = 0;
  std::size_t start = 0, end = 0;  // the open run [start, end); empty when equal
  while (i < size) {
    const std::size_t block = std::min(kBlock, size - i);
    if (std::memcmp(a.data() + i, b.data() + i, block) == 0) {
      i += block;
      continue;
    }
    for (const std::size_t stop = i + block; i < stop; ++i) {
      if (a[i] == b[i]) continue;
      if (end != start && i - end < kJoinGap) {
        end = i + 1;
        continue;
      }
      if (end != start) emit(base + start, end - start);
      start = i;
      end = i + 1;
    }
  }
  if (end != start) emit(base + start, end - start);
}

}  // namespace

std::size_t UndoHistory::Step::Size() const {
  std::size_t size =
      sizeof(Step) + name.capacity() + runs.capacity() * sizeof(Run) + bytes.capacity();
  if (settings)
    size += sizeof(*settings) + settings->first.SerialNumber.capacity() +
            settings->second.SerialNumber.capacity() + settings->first.ConfigFileName.capacity() +
            settings->second.ConfigFileName.capacity();
  return size;
}

UndoHistory::UndoHistory(std::size_t byteLimit) : byteLimit_(byteLimit) {
  Reset(state_);
}

void UndoHistory::Reset(const model::KeyboardDefinition& def) {
  state_ = def;
  steps_.clear();
  done_ = 0;
  bytes_ = sizeof(*this);
}

bool UndoHistory::Differs(const model::KeyboardDefinition& def) const {
  if (!SameSettings(state_.settings, def.settings)) return true;
  bool differs = false;
  std::vector<std::span<const std::uint8_t>> mine;
  ForEachRegion(state_, [&](std::span<const std::uint8_t> bytes) { mine.push_back(bytes); });
  std::size_t region = 0;
  ForEachRegion(def, [&](std::span<const std::uint8_t> bytes) {
    differs = differs || std::memcmp(mine[region++].data(), bytes.data(), bytes.size()) != 0;
  });
  return differs;
}

bool UndoHistory::Record(const model::KeyboardDefinition& def, std::string name) {
  Step step;
  step.name = std::move(name);
  std::vector<std::span<const std::uint8_t>> old;
  ForEachRegion(state_, [&](std::span<const std::uint8_t> bytes) { old.push_back(bytes); });
  std::size_t region = 0;
  std::size_t base = 0;
  ForEachRegion(def, [&](std::span<const std::uint8_t> now) {
    const std::span<const std::uint8_t> was = old[region++];
    DiffRegion(was, now, base, [&](std::size_t offset, std::size_t length) {
      const std::size_t within = offset - base;
      step.runs.push_back({static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length)});
      step.bytes.insert(step.bytes.end(), was.begin() + within, was.begin() + within + length);
      step.bytes.insert(step.bytes.end(), now.begin() + within, now.begin() + within + length);
    });
    base += now.size();
  });
  if (!SameSettings(state_.settings, def.settings))
    step.settings = std::make_unique<std::pair<model::Settings, model::Settings>>(state_.settings,
                                                                                  def.settings);
  if (step.runs.empty() && !step.settings) return false;
  step.runs.shrink_to_fit();
  step.bytes.shrink_to_fit();
  while (steps_.size() > done_) {
    bytes_ -= steps_.back().Size();
    steps_.pop_back();
  }
  bytes_ += step.Size();
  steps_.push_back(std::move(step));
  done_ = steps_.size();
  state_ = def;
  while (bytes_ > byteLimit_ && steps_.size() > 1) DropOldest();
  return true;
}

void UndoHistory::Absorb(const model::KeyboardDefinition& def) {
  state_ = def;
}

void UndoHistory::DropOldest() {
  bytes_ -= steps_.front().Size();
  steps_.pop_front();
  if (done_ > 0) --done_;
}

void UndoHistory::Apply(const Step& step, bool forward, model::KeyboardDefinition& def) {
  std::vector<std::span<std::uint8_t>> regions;
  ForEachRegion(def, [&](std::span<std::uint8_t> bytes) { regions.push_back(bytes); });
  std::size_t from = 0;
  for (const Run& run : step.runs) {
    std::size_t offset = run.offset;
    std::size_t region = 0;
    while (offset >= regions[region].size()) offset -= regions[region++].size();
    const std::uint8_t* values = step.bytes.data() + from + (forward ? run.length : 0);
    std::memcpy(regions[region].data() + offset, values, run.length);
    from += 2 * std::size_t{run.length};
  }
  if (step.settings) {
    std::string fileName = std::move(def.settings.ConfigFileName);
    def.settings = forward ? step.settings->second : step.settings->first;
    def.settings.ConfigFileName = std::move(fileName);
  }
}

bool UndoHistory::Undo(model::KeyboardDefinition& def) {
  if (Differs(def)) Record(def, "Edit");
  if (done_ == 0) return false;
  const Step& step = steps_[--done_];
  Apply(step, false, state_);
  Apply(step, false, def);
  return true;
}

bool UndoHistory::Redo(model::KeyboardDefinition& def) {
  if (Differs(def)) Record(def, "Edit");
  if (done_ == steps_.size()) return false;
  const Step& step = steps_[done_++];
  Apply(step, true, state_);
  Apply(step, true, def);
  return true;
}

const std::string* UndoHistory::UndoName() const {
  return done_ == 0 ? nullptr : &steps_[done_ - 1].name;
}

const std::string* UndoHistory::RedoName() const {
  return done_ == steps_.size() ? nullptr : &steps_[done_].name;
}

}  // namespace veltrane::ui
