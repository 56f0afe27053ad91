// The program's own "Load File" and "Save File" choosers: a list of places to
// start from, the directory list and the list of ".dat" files of the process's
// current directory. Browsing changes the current directory and leaves it
// there for every later relative path.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/controls.h"
#include "ui/dialog_layout.h"

namespace veltrane::ui {

enum class ChooserKind { Load, Save };

inline constexpr int kLoadPlacesId = 35122;
inline constexpr int kLoadDirectoriesId = 35123;
inline constexpr int kLoadFilesId = 35121;
inline constexpr int kSavePlacesId = 35125;
inline constexpr int kSaveDirectoriesId = 35126;
inline constexpr int kSaveFilesId = 35124;
inline constexpr int kSaveNameId = 35127;
inline constexpr std::size_t kSaveNameLength = 255;
inline constexpr std::size_t kMountsFileLimit = 256 * 1024;

// Title, the buttons ("Load"/"Save" and "Cancel"), the place combo box and the
// two sorted lists; the Save chooser also has the name field 35127.
const DialogLayout& FileChooserLayout(ChooserKind kind);

using ListBox = ComboBox;  // entries kept sorted, selection -1 when none

struct FileChooserModel {
  ChooserKind kind = ChooserKind::Load;
  ComboBox places;        // 35122 / 35125: paths, the one holding the current directory selected
  ListBox directories;    // 35123 / 35126
  ListBox files;          // 35121 / 35124
  EditField name;         // 35127, Save only
  std::string directory;  // the current directory the lists show
  std::string home;       // offered as a place when not empty
  std::string extension = ".dat";  // the file list holds the names ending in it, in any case
  std::string mountsPath = "/proc/self/mounts";
  std::FILE* diagnostics = stdout;  // where "Invalid File Handle" lines go
  bool finished = false;
};

// The order of entries in a sorted list box: letter case ignored, ties by bytes.
bool SortedListLess(std::string_view a, std::string_view b);

// Mount points under /media, /mnt and /run/media in a mounts table's text
// (octal escapes decoded), in table order, without repeats.
std::vector<std::string> MountedVolumes(std::string_view mountsText);

// "/", the home directory and the mounted volumes, without repeats.
std::vector<std::string> StartPlaces(std::string_view home, std::string_view mountsText);

// Opened on the process's current directory; home from $HOME.
FileChooserModel OpenFileChooser(ChooserKind kind, std::FILE* diagnostics = stdout);

// Fills the places and both lists again from the current directory. Load lists
// the subdirectories without a dot in their names; Save also every other entry
// without a dot (files without an extension). ".." is listed in every
// directory but "/"; other names starting with a dot are not. The file list
// holds the regular files ending in the chooser's extension in any case. First entries are
// selected. A directory that cannot be listed leaves both lists empty and
// prints the diagnostic line with errno.
void RefreshFileChooser(FileChooserModel& chooser);

// Makes place index current and lists again; a place that cannot be entered
// leaves the current directory as it was.
void OnPlacePicked(FileChooserModel& chooser, int index);

// Enters directory entry index (relative, so ".." goes up) and lists again. An
// entry that cannot be entered or listed prints the diagnostic line and leaves
// the current directory and the lists as they were.
void OnDirectoryDoubleClicked(FileChooserModel& chooser, int index);

// "Load": the absolute path of the selected file; nothing with an empty list
// or no selection (the chooser then stays open).
std::optional<std::string> OnLoadPressed(FileChooserModel& chooser);
// "Save": the typed name, at most 255 characters.
std::string OnSavePressed(FileChooserModel& chooser);
// "Cancel": the empty text; the current directory stays where browsing left it.
std::string OnChooserCancel(FileChooserModel& chooser);

}  // namespace veltrane::ui
