// SPDX-License-Identifier: MIT
// The program's own "Load File" and "Save File" choosers: a list of places to
// start from, the directory list and the list of ".dat" files of the
// chooser's own current directory, shown as a path. The file system is asked
// through fileaccess::FileSystem; the process's current directory never moves.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fileaccess/file_system.h"
#include "ui/controls/controls.h"
#include "ui/controls/dialog_layout.h"

namespace veltrane::ui {

enum class ChooserKind { Load, Save };

inline constexpr std::size_t kSaveNameLength = 255;

// Title, the buttons ("Load"/"Save" and "Cancel"), the place combo box, the
// two sorted lists, the directory shown as a path and the line telling why a
// directory could not be entered; the Save chooser also has the name field.
const DialogLayout& FileChooserLayout(ChooserKind kind);

struct FileChooserModel {
  ChooserKind kind = ChooserKind::Load;
  fileaccess::FileSystem* files = nullptr;
  ComboBox places;      // the start places, the one holding the directory selected
  ListBox directories;  // shown names: control characters escaped
  ListBox datFiles;     // shown names
  std::vector<std::string> directoryNames;  // as the file system has them, in list order
  std::vector<std::string> datFileNames;
  EditField name;         // Save only
  std::string directory;  // the chooser's current directory, absolute
  std::string problem;    // why the last directory could not be entered, or nothing
  // The file list holds the names ending in one of these, in any case.
  std::vector<std::string> extensions{".dat"};
  std::FILE* diagnostics = stdout;  // where "Invalid File Handle" lines go
  bool finished = false;
};

// The order of entries in a sorted list box: letter case ignored, ties by
// bytes; bytes compare unsigned, so names with other letters sort after
// the ASCII ones, not before.
bool SortedListLess(std::string_view a, std::string_view b);

// A name as a list shows it: control characters as \n, \t, \r or \xHH, so a
// name holding a line end is one row.
std::string ShownName(std::string_view name);

// The chooser over `directory` (absolute).
FileChooserModel OpenFileChooser(ChooserKind kind, fileaccess::FileSystem& files,
                                 std::string directory, std::FILE* diagnostics = stdout);

// Fills the places and both lists again from the chooser's directory. Load
// lists the subdirectories without a dot in their names; Save also every
// other entry without a dot (files without an extension). ".." is listed in
// every directory but "/"; other names starting with a dot are not. The file
// list holds the regular files ending in one of the chooser's extensions, in any case. First
// entries are selected. A directory that cannot be listed leaves both lists empty, says why in
// `problem` and prints the diagnostic line with errno.
void RefreshFileChooser(FileChooserModel& chooser);

// Makes place index the directory and lists it; a place that cannot be
// entered leaves the directory and the lists as they were and says why.
void OnPlacePicked(FileChooserModel& chooser, int index);

// Enters directory entry index (".." goes up) and lists it. An entry that
// cannot be entered leaves the directory and the lists as they were, says
// why and prints the diagnostic line.
void OnDirectoryDoubleClicked(FileChooserModel& chooser, int index);

// "Load": the absolute path of the selected file; nothing with an empty list
// or no selection (the chooser then stays open).
std::optional<std::string> OnLoadPressed(FileChooserModel& chooser);
// "Save": the typed name (at most 255 bytes) taken against the chooser's
// directory unless it is absolute; "" when nothing was typed.
std::string OnSavePressed(FileChooserModel& chooser);
// "Cancel": the empty text.
std::string OnChooserCancel(FileChooserModel& chooser);

}  // namespace veltrane::ui
