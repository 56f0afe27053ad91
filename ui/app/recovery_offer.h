// SPDX-License-Identifier: MIT
// The start-up step that offers the work that runs cut short (a crash, a kill,
// a power failure) left in their recovery copies.
#pragma once

#include <functional>
#include <string>

#include "ui/app/app_state.h"
#include "ui/app/recovery_keeper.h"
#include "ui/app/services.h"

namespace veltrane::ui {

// The answer to "Restore unsaved changes to NAME from TIME?"; Later (the
// question closed) keeps the copy for the next start.
enum class RestoreChoice { Restore, Discard, Later };
using AskRestore = std::function<RestoreChoice(const std::string& question)>;

inline constexpr std::string_view kRecoveryCaption = "Recovery";

// After the command-line file's load: every recovery copy in the keeper's
// directory whose run has ended (its lock is free) and that is newer than its
// file is offered, newest first. Restore puts its work in the window as a
// load of its file would (the file named, its directory the data directory),
// with the file's own content as the kept definition, so that `*` shows;
// this run's own copy is written at once and the old one removed; the other
// copies wait for a later start. Discard removes the copy. A copy older than
// its file (saved since) is removed, as the log says. A copy that cannot be
// read is told ("The recovery copy of NAME cannot be read: REASON") and kept
// aside as RUN.damaged, never loaded. True when work was restored.
bool OfferRecovery(AppState& app, const Services& io, RecoveryKeeper& keeper,
                   const AskRestore& ask);

// "2025-03-01 14:05:09" in local time, as the question names a copy's time.
std::string RecoveryTime(std::time_t time);

}  // namespace veltrane::ui
