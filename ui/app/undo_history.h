// SPDX-License-Identifier: MIT
// Undo and redo of the user's changes to the definition. Each step is the
// difference between two snapshots of the definition, kept as the runs of
// bytes that differ (their old and new values) and the settings before and
// after, so that a step costs what it changed, not a whole definition.
//
// What a step covers: the keys, the string work buffer, the pointing-device
// values and the settings. Left out, because they follow from the rest or
// belong to the file and not to the definition: the packed string store and
// its index (made again before anything is written) and the file-name
// display (ConfigFileName).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/definition.h"

namespace veltrane::ui {

// Steps beyond this many bytes are dropped, oldest first.
inline constexpr std::size_t kHistoryByteLimit = std::size_t{64} << 20;

class UndoHistory {
 public:
  explicit UndoHistory(std::size_t byteLimit = kHistoryByteLimit);

  // No steps; `def` is the definition as the window shows it.
  void Reset(const model::KeyboardDefinition& def);
  // Whether `def` differs from the definition as of the last step.
  bool Differs(const model::KeyboardDefinition& def) const;
  // The definition as of the last step (after Reset: as it was then).
  const model::KeyboardDefinition& State() const { return state_; }
  // One step named `name` from the last state to `def`, which becomes the
  // state; steps undone before are dropped. False (no step) when nothing differs.
  bool Record(const model::KeyboardDefinition& def, std::string name);
  // Takes `def` as the state without a step: a change that is no edit of the
  // user's (strokes counted again before a save). Steps recorded stay valid.
  void Absorb(const model::KeyboardDefinition& def);
  // Gives `def` the state before the last step done, or after the next step
  // undone; false when there is none. A change of `def` since the last step
  // is first recorded as a step of its own (named "Edit"), so nothing is lost.
  bool Undo(model::KeyboardDefinition& def);
  bool Redo(model::KeyboardDefinition& def);

  // The name of the step Undo or Redo would take, or nullptr.
  const std::string* UndoName() const;
  const std::string* RedoName() const;
  std::size_t UndoCount() const { return done_; }
  std::size_t RedoCount() const { return steps_.size() - done_; }
  // The memory the history holds, its copy of the state included.
  std::size_t Bytes() const { return bytes_; }

 private:
  // A run of `length` bytes at `offset` of the covered bytes: the old values, then the new.
  struct Run {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
  };
  struct Step {
    std::string name;
    std::vector<Run> runs;
    std::vector<std::uint8_t> bytes;
    // The settings before and after, when they differ.
    std::unique_ptr<std::pair<model::Settings, model::Settings>> settings;
    std::size_t Size() const;
  };
  void Apply(const Step& step, bool forward, model::KeyboardDefinition& def);
  void DropOldest();

  std::size_t byteLimit_;
  model::KeyboardDefinition state_;
  std::deque<Step> steps_;
  std::size_t done_ = 0;  // steps_[0, done_) can be undone, the rest redone
  std::size_t bytes_ = 0;
};

}  // namespace veltrane::ui
