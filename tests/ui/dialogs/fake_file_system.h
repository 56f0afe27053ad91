// SPDX-License-Identifier: MIT
// A file system for the chooser tests: directories and their entries held in
// memory, listing failures by path.
#pragma once

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fileaccess/file_system.h"

namespace veltrane::testing {

class FakeFileSystem : public fileaccess::FileSystem {
 public:
  using Kind = fileaccess::DirectoryEntry::Kind;

  // Adds an entry to a directory; a directory entry is listable (empty) from then on.
  void Add(const std::string& directory, const std::string& name, Kind kind) {
    tree[directory].push_back({name, kind});
    if (kind == Kind::Directory) tree[(directory == "/" ? "" : directory) + "/" + name];
  }
  fileaccess::Status List(const std::string& directory,
                          std::vector<fileaccess::DirectoryEntry>& entries) override {
    ++listings;
    entries.clear();
    if (const auto refused = errors.find(directory); refused != errors.end())
      return fileaccess::SystemFailure(directory, refused->second);
    const auto found = tree.find(directory);
    if (found == tree.end()) return fileaccess::SystemFailure(directory, ENOENT);
    entries = found->second;
    return fileaccess::Success();
  }
  std::vector<std::string> StartPlaces() override { return places; }
  std::string HomeDirectory() override { return home; }
  std::string WorkingDirectory() override { return "/work"; }

  std::map<std::string, std::vector<fileaccess::DirectoryEntry>> tree;
  std::map<std::string, int> errors;  // directories that cannot be listed, with errno
  std::vector<std::string> places = {"/"};
  std::string home = "/home/u";
  int listings = 0;
};

}  // namespace veltrane::testing
