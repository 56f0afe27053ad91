#include "ui/file_chooser_model.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace veltrane::ui {
namespace {

constexpr std::array<DialogControl, 5> kLoadControls = {{
    {kIdOk, ControlKind::DefaultButton, "Load", DialogUnitsRect(325, 7, 50, 14)},
    {kIdCancel, ControlKind::PushButton, "Cancel", DialogUnitsRect(325, 24, 50, 14)},
    {kLoadPlacesId, ControlKind::DropDownList, "", {5, 10, 100, 300}},
    {kLoadDirectoriesId, ControlKind::SortedList, "", {5, 40, 200, 200}},
    {kLoadFilesId, ControlKind::SortedList, "", {250, 10, 200, 240}},
}};

constexpr std::array<DialogControl, 6> kSaveControls = {{
    {kIdOk, ControlKind::DefaultButton, "Save", DialogUnitsRect(344, 7, 50, 14)},
    {kIdCancel, ControlKind::PushButton, "Cancel", DialogUnitsRect(344, 24, 50, 14)},
    {kSavePlacesId, ControlKind::DropDownList, "", {5, 10, 100, 300}},
    {kSaveDirectoriesId, ControlKind::SortedList, "", {5, 40, 200, 200}},
    {kSaveFilesId, ControlKind::SortedList, "", {250, 10, 200, 240}},
    {kSaveNameId, ControlKind::Edit, "", {250, 250, 200, 20}},
}};

constexpr DialogLayout kLoadLayout = {"Load File", DialogUnitsX(382), DialogUnitsY(164),
                                      kLoadControls};
constexpr DialogLayout kSaveLayout = {"Save File", DialogUnitsX(401), DialogUnitsY(174),
                                      kSaveControls};

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWith(std::string_view name, std::string_view extension) {
  if (name.size() <= extension.size()) return false;
  const std::string_view tail = name.substr(name.size() - extension.size());
  return std::equal(tail.begin(), tail.end(), extension.begin(),
                    [](char a, char b) { return Lower(a) == Lower(b); });
}

// True when path is base or lies below it.
bool IsWithin(std::string_view path, std::string_view base) {
  if (base == "/") return !path.empty() && path.front() == '/';
  if (!path.starts_with(base)) return false;
  return path.size() == base.size() || path[base.size()] == '/';
}

std::string DecodeMountPath(std::string_view field) {
  std::string path;
  for (std::size_t i = 0; i < field.size(); ++i) {
    const auto isOctal = [&](std::size_t at) { return field[at] >= '0' && field[at] <= '7'; };
    const bool octal = field[i] == '\\' && i + 3 < field.size() && isOctal(i + 1) &&
                       isOctal(i + 2) && isOctal(i + 3);
    if (octal) {
      path.push_back(static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                       (field[i + 3] - '0')));
      i += 3;
    } else {
      path.push_back(field[i]);
    }
  }
  return path;
}

void AddOnce(std::vector<std::string>& list, std::string item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(std::move(item));
}

std::string ReadMountsText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text;
  if (!in) return text;
  text.resize(kMountsFileLimit);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

std::string CurrentDirectory() {
  std::array<char, 4096> buffer{};
  return ::getcwd(buffer.data(), buffer.size()) ? std::string(buffer.data()) : std::string();
}

struct Listing {
  std::vector<std::string> directories;
  std::vector<std::string> files;
};

// Lists the current directory; false with errno set when it cannot be read.
bool ListCurrentDirectory(ChooserKind kind, std::string_view extension, Listing& listing) {
  DIR* dir = ::opendir(".");
  if (dir == nullptr) return false;
  const std::string cwd = CurrentDirectory();
  if (cwd != "/") listing.directories.push_back("..");
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.empty() || name.front() == '.') continue;
    struct stat info {};
    if (::fstatat(::dirfd(dir), entry->d_name, &info, 0) != 0) continue;
    const bool isDirectory = S_ISDIR(info.st_mode);
    const bool noExtension = name.find('.') == std::string_view::npos;
    if (noExtension && (isDirectory || kind == ChooserKind::Save)) {
      listing.directories.emplace_back(name);
    }
    if (S_ISREG(info.st_mode) && EndsWith(name, extension)) listing.files.emplace_back(name);
  }
  ::closedir(dir);
  return true;
}

void ReportInvalidHandle(FileChooserModel& chooser, int error) {
  if (chooser.diagnostics == nullptr) return;
  std::fprintf(chooser.diagnostics, "Invalid File Handle. GetLastError reports %d\n", error);
  std::fflush(chooser.diagnostics);
}

void FillList(ListBox& list, std::vector<std::string> entries) {
  std::sort(entries.begin(), entries.end(),
            [](const std::string& a, const std::string& b) { return SortedListLess(a, b); });
  list.items = std::move(entries);
  list.Select(0);
}

void FillPlaces(FileChooserModel& chooser) {
  chooser.places.items = StartPlaces(chooser.home, ReadMountsText(chooser.mountsPath));
  int best = -1;
  std::size_t bestLength = 0;
  for (std::size_t i = 0; i < chooser.places.items.size(); ++i) {
    const std::string& place = chooser.places.items[i];
    if (IsWithin(chooser.directory, place) && (best < 0 || place.size() > bestLength)) {
      best = static_cast<int>(i);
      bestLength = place.size();
    }
  }
  chooser.places.Select(best);
}

// Enters path and lists it; on failure returns to the previous directory.
bool EnterAndList(FileChooserModel& chooser, const std::string& path) {
  const std::string previous = CurrentDirectory();
  if (::chdir(path.c_str()) != 0) {
    ReportInvalidHandle(chooser, errno);
    return false;
  }
  Listing listing;
  if (!ListCurrentDirectory(chooser.kind, chooser.extension, listing)) {
    const int error = errno;
    if (!previous.empty() && ::chdir(previous.c_str()) != 0) {
      // The previous directory went away meanwhile; the lists follow where we are.
      RefreshFileChooser(chooser);
    }
    ReportInvalidHandle(chooser, error);
    return false;
  }
  chooser.directory = CurrentDirectory();
  FillPlaces(chooser);
  FillList(chooser.directories, std::move(listing.directories));
  FillList(chooser.files, std::move(listing.files));
  return true;
}

}  // namespace

const DialogLayout& FileChooserLayout(ChooserKind kind) {
  return kind == ChooserKind::Load ? kLoadLayout : kSaveLayout;
}

bool SortedListLess(std::string_view a, std::string_view b) {
  const auto lowerLess = [](char x, char y) { return Lower(x) < Lower(y); };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lowerLess)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lowerLess)) return false;
  return a < b;
}

std::vector<std::string> MountedVolumes(std::string_view mountsText) {
  std::vector<std::string> volumes;
  while (!mountsText.empty()) {
    const std::size_t end = std::min(mountsText.find('\n'), mountsText.size());
    const std::string_view line = mountsText.substr(0, end);
    mountsText.remove_prefix(std::min(end + 1, mountsText.size()));
    const std::size_t start = line.find(' ');
    if (start == std::string_view::npos) continue;
    const std::size_t stop = line.find(' ', start + 1);
    const std::string path = DecodeMountPath(line.substr(start + 1, stop - start - 1));
    if (IsWithin(path, "/media") || IsWithin(path, "/mnt") || IsWithin(path, "/run/media")) {
      AddOnce(volumes, path);
    }
  }
  return volumes;
}

std::vector<std::string> StartPlaces(std::string_view home, std::string_view mountsText) {
  std::vector<std::string> places = {"/"};
  if (!home.empty()) AddOnce(places, std::string(home));
  for (std::string& volume : MountedVolumes(mountsText)) AddOnce(places, std::move(volume));
  return places;
}

FileChooserModel OpenFileChooser(ChooserKind kind, std::FILE* diagnostics) {
  FileChooserModel chooser;
  chooser.kind = kind;
  chooser.diagnostics = diagnostics;
  if (const char* home = std::getenv("HOME")) chooser.home = home;
  RefreshFileChooser(chooser);
  return chooser;
}

void RefreshFileChooser(FileChooserModel& chooser) {
  chooser.directory = CurrentDirectory();
  FillPlaces(chooser);
  Listing listing;
  if (!ListCurrentDirectory(chooser.kind, chooser.extension, listing)) {
    ReportInvalidHandle(chooser, errno);
    listing = Listing{};
  }
  FillList(chooser.directories, std::move(listing.directories));
  FillList(chooser.files, std::move(listing.files));
}

void OnPlacePicked(FileChooserModel& chooser, int index) {
  if (index < 0 || index >= static_cast<int>(chooser.places.items.size())) return;
  if (::chdir(chooser.places.items[index].c_str()) != 0) {
    // A place that cannot be entered leaves the current directory as it was.
  }
  RefreshFileChooser(chooser);
}

void OnDirectoryDoubleClicked(FileChooserModel& chooser, int index) {
  if (index < 0 || index >= static_cast<int>(chooser.directories.items.size())) return;
  EnterAndList(chooser, chooser.directories.items[index]);
}

std::optional<std::string> OnLoadPressed(FileChooserModel& chooser) {
  const int selected = chooser.files.selection;
  if (selected < 0 || selected >= static_cast<int>(chooser.files.items.size())) {
    return std::nullopt;
  }
  chooser.finished = true;
  const std::string& name = chooser.files.items[selected];
  return chooser.directory == "/" ? "/" + name : chooser.directory + "/" + name;
}

std::string OnSavePressed(FileChooserModel& chooser) {
  chooser.finished = true;
  return chooser.name.text.substr(0, kSaveNameLength);
}

std::string OnChooserCancel(FileChooserModel& chooser) {
  chooser.finished = true;
  return std::string();
}

}  // namespace veltrane::ui
