// SPDX-License-Identifier: MIT
#include "ui/app/recovery_offer.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "fileaccess/file_lock.h"
#include "fileaccess/file_names.h"
#include "fileaccess/file_system.h"
#include "fileaccess/paths.h"
#include "fileaccess/read_file.h"
#include "ui/app/file_commands.h"
#include "ui/app/log_file.h"
#include "ui/app/recovery_copy.h"

namespace veltrane::ui {
namespace {

// A copy's header, a long path and the definition fit well within this.
constexpr std::size_t kCopyLimit = 64 * 1024;

class NoMessages : public model::MessageSink {
 public:
  void Show(std::string_view, std::string_view, model::MessageIcon) override {}
};

// A copy whose run has ended, held by this run while it is offered.
struct Found {
  std::string path;
  std::time_t written = 0;
  std::unique_ptr<fileaccess::FileLock> lock;
};

std::vector<Found> EndedRunsCopies(const RecoveryKeeper& keeper) {
  fileaccess::RealFileSystem files;
  std::vector<fileaccess::DirectoryEntry> entries;
  std::vector<Found> found;
  if (!files.List(keeper.Directory(), entries)) return found;
  for (const fileaccess::DirectoryEntry& entry : entries) {
    const std::string path = keeper.Directory() + entry.name;
    if (entry.kind != fileaccess::DirectoryEntry::Kind::RegularFile ||
        !entry.name.ends_with(kRecoverySuffix) || path == keeper.CopyPath())
      continue;
    auto lock = std::make_unique<fileaccess::FileLock>();
    if (!lock->TryAcquire(LockPathOf(path))) continue;  // its run is still going
    found.push_back(Found{path, fileaccess::ModificationTime(path).value_or(0), std::move(lock)});
  }
  std::sort(found.begin(), found.end(),
            [](const Found& a, const Found& b) { return a.written > b.written; });
  return found;
}

// Lets go of a copy whose run has ended (the lock file goes with the lock).
void Release(Found& copy) {
  copy.lock->Release();
}

void RemoveCopy(Found& copy) {
  fileaccess::RemoveFile(copy.path);
  Release(copy);
}

void SetAside(const Services& io, Found& copy, const std::string& name, const std::string& why) {
  io.messages.Show("The recovery copy of " + name + " cannot be read: " + why,
                   std::string(kRecoveryCaption), model::MessageIcon::Warning);
  const std::string aside = copy.path.substr(0, copy.path.size() - kRecoverySuffix.size());
  fileaccess::RenameFile(copy.path, aside + ".damaged");
  model::LogPrintf(&io.log, "Recovery copy %s set aside as %s.damaged: %s\n", copy.path.c_str(),
                   aside.c_str(), why.c_str());
  Release(copy);
}

// The names a load of `file` gives, and the kept definition: the file's own
// content, or the start-up definition when it is new or cannot be loaded.
void TakeFileOf(AppState& app, const Services& io, const std::string& file) {
  NoMessages quiet;
  const Services silent{quiet, io.log};
  if (!file.empty() && LoadConfiguration(app, silent, file).ok()) return;
  model::InitialiseDefinition(app.kept);
  Document& doc = app.doc;
  doc.loadedFile = file;
  doc.chosenFileName = FileNameOf(file);
  doc.baseName =
      file.empty() ? std::string(kInitialBaseName) : BaseNameFromLoaded(FileNameOf(file));
  doc.dataDirectory = file.empty() ? std::string() : fileaccess::AbsoluteDirectoryOf(file);
}

void Restore(AppState& app, const Services& io, RecoveredWork& work) {
  TakeFileOf(app, io, work.file);
  // No file holds them.
  work.def.settings.PointDeviceParams = app.doc.def.settings.PointDeviceParams;
  app.doc.def = work.def;
  app.doc.header = work.header;
  ApplySettings(app, work.def.settings);
  app.doc.commandLineText.clear();  // the restored work is the user's: no file replaces it
}

// Offers one copy; true when its work was restored.
bool Offer(AppState& app, const Services& io, RecoveryKeeper& keeper, const AskRestore& ask,
           Found& copy) {
  const fileaccess::ReadResult read = fileaccess::ReadFile(copy.path, kCopyLimit);
  auto work = std::make_unique<RecoveredWork>();
  std::string why = read.reason;
  if (read.ok()) {
    const std::string_view bytes(reinterpret_cast<const char*>(read.bytes.data()),
                                 read.bytes.size());
    if (DecodeRecoveryCopy(bytes, *work, why)) why.clear();
  }
  const std::string name =
      work->file.empty() && !why.empty() ? fileaccess::NameOf(copy.path) : WorkName(work->file);
  if (!why.empty()) {
    SetAside(io, copy, name, why);
    return false;
  }
  const std::string time = RecoveryTime(copy.written);
  const auto fileTime =
      work->file.empty() ? std::nullopt : fileaccess::ModificationTime(work->file);
  if (fileTime && *fileTime > copy.written) {
    model::LogPrintf(&io.log, "Recovery copy of %s from %s removed: the file was saved after it\n",
                     work->file.c_str(), time.c_str());
    RemoveCopy(copy);
    return false;
  }
  switch (ask("Restore unsaved changes to " + name + " from " + time + "?")) {
    case RestoreChoice::Restore:
      Restore(app, io, *work);
      keeper.Follow(app);
      keeper.Flush();  // the work is safe in this run's copy before the old one goes
      model::LogPrintf(&io.log, "Restored unsaved changes to %s from %s\n", name.c_str(),
                       time.c_str());
      RemoveCopy(copy);
      return true;
    case RestoreChoice::Discard:
      model::LogPrintf(&io.log, "Discarded unsaved changes to %s from %s\n", name.c_str(),
                       time.c_str());
      RemoveCopy(copy);
      return false;
    case RestoreChoice::Later:
      Release(copy);
      return false;
  }
  return false;
}

}  // namespace

std::string RecoveryTime(std::time_t time) {
  return LocalTime(time, "%Y-%m-%d %H:%M:%S");
}

bool OfferRecovery(AppState& app, const Services& io, RecoveryKeeper& keeper,
                   const AskRestore& ask) {
  std::vector<Found> copies = EndedRunsCopies(keeper);
  bool restored = false;
  for (Found& copy : copies) {
    if (restored)
      Release(copy);
    else
      restored = Offer(app, io, keeper, ask, copy);
  }
  return restored;
}

}  // namespace veltrane::ui
