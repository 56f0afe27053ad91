// SPDX-License-Identifier: MIT
// A small HID report descriptor parser: the top-level application
// collections with their usage and their report lengths per report type.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace veltrane::link {

inline constexpr int kMaxTopCollections = 16;
inline constexpr int kMaxReportEntries = 64;
inline constexpr int kMaxGlobalPushes = 8;
inline constexpr std::size_t kMaxDescriptorSize = 4096;

enum class ReportType : std::uint8_t { Input = 0, Output = 1, Feature = 2 };

struct TopCollection {
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  // Longest report of each type in bytes, the report-ID byte included when IDs
  // are used; 0 when the collection has no report of that type.
  std::array<std::uint16_t, 3> reportLength{};

  std::uint16_t Length(ReportType type) const {
    return reportLength[static_cast<std::size_t>(type)];
  }
};

struct DescriptorSummary {
  std::array<TopCollection, kMaxTopCollections> collections{};
  int collectionCount = 0;
  bool usesReportIds = false;
};

// Empty for a descriptor that is truncated, unbalanced or beyond the fixed limits.
std::optional<DescriptorSummary> ParseReportDescriptor(std::span<const std::uint8_t> bytes);

}  // namespace veltrane::link
