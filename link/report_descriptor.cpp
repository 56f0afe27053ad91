// SPDX-License-Identifier: MIT
#include "link/report_descriptor.h"

#include <algorithm>

namespace veltrane::link {
namespace {

enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };

// Main item tags.
constexpr std::uint8_t kInputTag = 0x8;
constexpr std::uint8_t kOutputTag = 0x9;
constexpr std::uint8_t kCollectionTag = 0xA;
constexpr std::uint8_t kFeatureTag = 0xB;
constexpr std::uint8_t kEndCollectionTag = 0xC;
// Global item tags.
constexpr std::uint8_t kUsagePageTag = 0x0;
constexpr std::uint8_t kReportSizeTag = 0x7;
constexpr std::uint8_t kReportIdTag = 0x8;
constexpr std::uint8_t kReportCountTag = 0x9;
constexpr std::uint8_t kPushTag = 0xA;
constexpr std::uint8_t kPopTag = 0xB;
// Local item tags.
constexpr std::uint8_t kUsageTag = 0x0;
constexpr std::uint8_t kUsageMinimumTag = 0x1;

constexpr std::uint8_t kLongItemPrefix = 0xFE;
constexpr std::uint32_t kApplicationCollection = 0x01;

struct Item {
  std::uint8_t type = 0;
  std::uint8_t tag = 0;
  std::uint8_t size = 0;  // data bytes: 0, 1, 2 or 4
  std::uint32_t data = 0;
};

struct GlobalState {
  std::uint16_t usagePage = 0;
  std::uint32_t reportSize = 0;
  std::uint32_t reportCount = 0;
  std::uint8_t reportId = 0;
};

struct ReportBits {
  int collection = 0;
  ReportType type = ReportType::Input;
  std::uint8_t id = 0;
  std::uint64_t bits = 0;
};

struct Parser {
  GlobalState global;
  std::array<GlobalState, kMaxGlobalPushes> pushed{};
  int pushCount = 0;
  bool hasUsage = false;  // the first usage of the pending main item
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  bool usageHasPage = false;
  int depth = 0;
  int top = -1;  // the top-level application collection being read, -1 outside one
  std::array<ReportBits, kMaxReportEntries> reports{};
  int reportCount = 0;
  DescriptorSummary summary;
};

// Reads the item at `at` and advances past it; false when it is truncated.
bool NextItem(std::span<const std::uint8_t> bytes, std::size_t& at, Item& item) {
  const std::uint8_t prefix = bytes[at];
  if (prefix == kLongItemPrefix) {
    if (at + 2 >= bytes.size()) return false;
    const std::size_t skip = 3u + bytes[at + 1];
    if (at + skip > bytes.size()) return false;
    at += skip;
    item = Item{0xFF, 0, 0, 0};
    return true;
  }
  const std::uint8_t code = prefix & 0x3;
  item.size = code == 3 ? 4 : code;
  item.type = (prefix >> 2) & 0x3;
  item.tag = prefix >> 4;
  if (at + 1 + item.size > bytes.size()) return false;
  item.data = 0;
  for (std::uint8_t k = 0; k < item.size; ++k)
    item.data |= std::uint32_t{bytes[at + 1 + k]} << (8 * k);
  at += 1u + item.size;
  return true;
}

bool AddReportBits(Parser& p, ReportType type) {
  if (p.top < 0) return true;
  const std::uint64_t bits = std::uint64_t{p.global.reportSize} * p.global.reportCount;
  for (int k = 0; k < p.reportCount; ++k) {
    ReportBits& entry = p.reports[k];
    if (entry.collection == p.top && entry.type == type && entry.id == p.global.reportId) {
      entry.bits += bits;
      return true;
    }
  }
  if (p.reportCount == kMaxReportEntries) return false;
  p.reports[p.reportCount++] = ReportBits{p.top, type, p.global.reportId, bits};
  return true;
}

bool OpenCollection(Parser& p, std::uint32_t kind) {
  if (p.depth++ > 0) return true;
  if (kind != kApplicationCollection) return true;
  DescriptorSummary& s = p.summary;
  if (s.collectionCount == kMaxTopCollections) return false;
  p.top = s.collectionCount++;
  s.collections[p.top].usagePage = p.usageHasPage ? p.usagePage : p.global.usagePage;
  s.collections[p.top].usage = p.usage;
  return true;
}

bool MainItem(Parser& p, const Item& item) {
  bool ok = true;
  switch (item.tag) {
    case kInputTag:
      ok = AddReportBits(p, ReportType::Input);
      break;
    case kOutputTag:
      ok = AddReportBits(p, ReportType::Output);
      break;
    case kFeatureTag:
      ok = AddReportBits(p, ReportType::Feature);
      break;
    case kCollectionTag:
      ok = OpenCollection(p, item.data);
      break;
    case kEndCollectionTag:
      if (p.depth == 0) return false;
      if (--p.depth == 0) p.top = -1;
      break;
    default:
      break;
  }
  p.hasUsage = false;  // local items last until the next main item
  p.usageHasPage = false;
  p.usage = 0;
  return ok;
}

bool GlobalItem(Parser& p, const Item& item) {
  switch (item.tag) {
    case kUsagePageTag:
      p.global.usagePage = static_cast<std::uint16_t>(item.data);
      break;
    case kReportSizeTag:
      p.global.reportSize = item.data;
      break;
    case kReportCountTag:
      p.global.reportCount = item.data;
      break;
    case kReportIdTag:
      p.global.reportId = static_cast<std::uint8_t>(item.data);
      p.summary.usesReportIds = true;
      break;
    case kPushTag:
      if (p.pushCount == kMaxGlobalPushes) return false;
      p.pushed[p.pushCount++] = p.global;
      break;
    case kPopTag:
      if (p.pushCount == 0) return false;
      p.global = p.pushed[--p.pushCount];
      break;
    default:
      break;
  }
  return true;
}

void LocalItem(Parser& p, const Item& item) {
  if ((item.tag != kUsageTag && item.tag != kUsageMinimumTag) || p.hasUsage) return;
  p.hasUsage = true;
  p.usage = static_cast<std::uint16_t>(item.data & 0xFFFF);
  // A 4-byte usage carries its own usage page in the high half.
  p.usageHasPage = item.size == 4;
  p.usagePage = static_cast<std::uint16_t>(item.data >> 16);
}

void FillLengths(Parser& p) {
  const std::uint64_t idByte = p.summary.usesReportIds ? 1 : 0;
  for (int k = 0; k < p.reportCount; ++k) {
    const ReportBits& entry = p.reports[k];
    const std::uint64_t bytes = std::min<std::uint64_t>((entry.bits + 7) / 8 + idByte, 0xFFFF);
    std::uint16_t& length =
        p.summary.collections[entry.collection].reportLength[static_cast<int>(entry.type)];
    length = std::max(length, static_cast<std::uint16_t>(bytes));
  }
}

}  // namespace

std::optional<DescriptorSummary> ParseReportDescriptor(std::span<const std::uint8_t> bytes) {
  if (bytes.size() > kMaxDescriptorSize) return std::nullopt;
  Parser p;
  std::size_t at = 0;
  while (at < bytes.size()) {
    Item item;
    if (!NextItem(bytes, at, item)) return std::nullopt;
    bool ok = true;
    if (item.type == kMain) ok = MainItem(p, item);
    if (item.type == kGlobal) ok = GlobalItem(p, item);
    if (item.type == kLocal) LocalItem(p, item);
    if (!ok) return std::nullopt;
  }
  if (p.depth != 0) return std::nullopt;
  FillLengths(p);
  return p.summary;
}

}  // namespace veltrane::link
