// SPDX-License-Identifier: MIT
#include "ui/dialogs/file_chooser_model.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "model/diagnostics.h"

namespace veltrane::ui {
namespace {

using fileaccess::DirectoryEntry;
using K = ControlKind;

constexpr Rect kDirectoryShown = {5, 246, 240, 16};

constexpr std::array<Control, 7> kLoadControls = {{
    {K::DefaultButton, id::kOk, "Load", DialogUnitsRect(325, 7, 50, 14)},
    {K::PushButton, id::kCancel, "Cancel", DialogUnitsRect(325, 24, 50, 14)},
    {K::DropDownList, id::kLoadPlaces, "", {5, 10, 100, 300}},
    {K::ListBox, id::kLoadDirectories, "", {5, 40, 200, 200}},
    {K::ListBox, id::kLoadFiles, "", {250, 10, 200, 240}},
    {K::Static, id::kChooserDirectory, "", kDirectoryShown},
    {K::Static, id::kChooserProblem, "", {5, 266, 445, 16}},
}};

constexpr std::array<Control, 8> kSaveControls = {{
    {K::DefaultButton, id::kOk, "Save", DialogUnitsRect(344, 7, 50, 14)},
    {K::PushButton, id::kCancel, "Cancel", DialogUnitsRect(344, 24, 50, 14)},
    {K::DropDownList, id::kSavePlaces, "", {5, 10, 100, 300}},
    {K::ListBox, id::kSaveDirectories, "", {5, 40, 200, 200}},
    {K::ListBox, id::kSaveFiles, "", {250, 10, 200, 240}},
    {K::Edit, id::kSaveName, "", {250, 250, 200, 20}},
    {K::Static, id::kChooserDirectory, "", kDirectoryShown},
    {K::Static, id::kChooserProblem, "", {5, 276, 445, 16}},
}};

// The templates' sizes, with a line below the lists for the path and one for a problem.
constexpr DialogLayout kLoadLayout = {"Load File", DialogUnitsX(382), DialogUnitsY(164) + 20,
                                      kLoadControls};
constexpr DialogLayout kSaveLayout = {"Save File", DialogUnitsX(401), DialogUnitsY(174) + 14,
                                      kSaveControls};

unsigned char Lower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

bool EndsWith(std::string_view name, std::string_view extension) {
  if (name.size() <= extension.size()) return false;
  const std::string_view tail = name.substr(name.size() - extension.size());
  return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
    return Lower(static_cast<unsigned char>(a)) == Lower(static_cast<unsigned char>(b));
  });
}

std::string Join(const std::string& directory, std::string_view name) {
  return (directory == "/" ? "/" : directory + "/") + std::string(name);
}

// The directory an entry of the list leads to; ".." goes up.
std::string Entered(const std::string& directory, std::string_view name) {
  if (name != "..") return Join(directory, name);
  const std::size_t slash = directory.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : directory.substr(0, slash);
}

struct Listing {
  std::vector<std::string> directories;
  std::vector<std::string> files;
};

// What the lists show of a directory's entries.
Listing Filter(const FileChooserModel& chooser, const std::string& directory,
               const std::vector<DirectoryEntry>& entries) {
  const ChooserKind kind = chooser.kind;
  Listing listing;
  if (directory != "/") listing.directories.push_back("..");
  for (const DirectoryEntry& entry : entries) {
    const std::string_view name = entry.name;
    if (name.empty() || name.front() == '.') continue;
    const bool isDirectory = entry.kind == DirectoryEntry::Kind::Directory;
    const bool noExtension = name.find('.') == std::string_view::npos;
    if (noExtension && (isDirectory || kind == ChooserKind::Save))
      listing.directories.push_back(entry.name);
    if (entry.kind != DirectoryEntry::Kind::RegularFile) continue;
    if (std::any_of(chooser.extensions.begin(), chooser.extensions.end(),
                    [&](const std::string& extension) { return EndsWith(name, extension); }))
      listing.files.push_back(entry.name);
  }
  const auto less = [](const std::string& a, const std::string& b) { return SortedListLess(a, b); };
  std::sort(listing.directories.begin(), listing.directories.end(), less);
  std::sort(listing.files.begin(), listing.files.end(), less);
  return listing;
}

void ReportInvalidHandle(FileChooserModel& chooser, const fileaccess::Status& status) {
  chooser.problem = "Cannot open " + ShownName(status.reason);
  if (chooser.diagnostics == nullptr) return;
  std::fprintf(chooser.diagnostics, "Invalid File Handle. GetLastError reports %d\n", status.error);
  std::fflush(chooser.diagnostics);
}

void Fill(ListBox& list, std::vector<std::string>& names, std::vector<std::string> entries) {
  list.items.clear();
  for (const std::string& name : entries) list.items.push_back(ShownName(name));
  names = std::move(entries);
  list.Select(0);
}

void FillPlaces(FileChooserModel& chooser) {
  chooser.places.items = chooser.files->StartPlaces();
  int best = -1;
  std::size_t bestLength = 0;
  for (std::size_t i = 0; i < chooser.places.items.size(); ++i) {
    const std::string& place = chooser.places.items[i];
    if (fileaccess::IsWithin(chooser.directory, place) && (best < 0 || place.size() > bestLength)) {
      best = static_cast<int>(i);
      bestLength = place.size();
    }
  }
  chooser.places.Select(best);
}

void Show(FileChooserModel& chooser, const std::string& directory, const Listing& listing) {
  chooser.directory = directory;
  FillPlaces(chooser);
  Fill(chooser.directories, chooser.directoryNames, listing.directories);
  Fill(chooser.datFiles, chooser.datFileNames, listing.files);
}

// Lists `directory` and shows it; false (with the problem told) when it cannot be listed.
bool Enter(FileChooserModel& chooser, const std::string& directory) {
  std::vector<DirectoryEntry> entries;
  const fileaccess::Status listed = chooser.files->List(directory, entries);
  if (!listed) {
    ReportInvalidHandle(chooser, listed);
    return false;
  }
  chooser.problem.clear();
  Show(chooser, directory, Filter(chooser, directory, entries));
  return true;
}

}  // namespace

const DialogLayout& FileChooserLayout(ChooserKind kind) {
  return kind == ChooserKind::Load ? kLoadLayout : kSaveLayout;
}

bool SortedListLess(std::string_view a, std::string_view b) {
  const auto lowerLess = [](char x, char y) {
    return Lower(static_cast<unsigned char>(x)) < Lower(static_cast<unsigned char>(y));
  };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lowerLess)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lowerLess)) return false;
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  });
}

std::string ShownName(std::string_view name) {
  std::string shown;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      shown += "\\n";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (byte < 0x20 || byte == 0x7F) {
      shown += model::FormatText("\\x%02x", byte);
    } else {
      shown += c;
    }
  }
  return shown;
}

FileChooserModel OpenFileChooser(ChooserKind kind, fileaccess::FileSystem& files,
                                 std::string directory, std::FILE* diagnostics) {
  FileChooserModel chooser;
  chooser.kind = kind;
  chooser.files = &files;
  chooser.diagnostics = diagnostics;
  chooser.directory = std::move(directory);
  RefreshFileChooser(chooser);
  return chooser;
}

void RefreshFileChooser(FileChooserModel& chooser) {
  if (!Enter(chooser, chooser.directory)) Show(chooser, chooser.directory, Listing{});
}

void OnPlacePicked(FileChooserModel& chooser, int index) {
  if (index < 0 || index >= static_cast<int>(chooser.places.items.size())) return;
  if (!Enter(chooser, chooser.places.items[static_cast<std::size_t>(index)]))
    FillPlaces(chooser);  // the place list keeps showing where the lists are
}

void OnDirectoryDoubleClicked(FileChooserModel& chooser, int index) {
  if (index < 0 || index >= static_cast<int>(chooser.directoryNames.size())) return;
  Enter(chooser,
        Entered(chooser.directory, chooser.directoryNames[static_cast<std::size_t>(index)]));
}

std::optional<std::string> OnLoadPressed(FileChooserModel& chooser) {
  const int selected = chooser.datFiles.selection;
  if (selected < 0 || selected >= static_cast<int>(chooser.datFileNames.size()))
    return std::nullopt;
  chooser.finished = true;
  return Join(chooser.directory, chooser.datFileNames[static_cast<std::size_t>(selected)]);
}

std::string OnSavePressed(FileChooserModel& chooser) {
  chooser.finished = true;
  const std::string typed = chooser.name.text.substr(0, kSaveNameLength);
  if (typed.empty() || typed.front() == '/') return typed;
  return Join(chooser.directory, typed);
}

std::string OnChooserCancel(FileChooserModel& chooser) {
  chooser.finished = true;
  return std::string();
}

}  // namespace veltrane::ui
