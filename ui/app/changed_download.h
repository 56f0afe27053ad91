// SPDX-License-Identifier: MIT
// "Program Keyboard" sending only the words the keyboard does not hold yet,
// verified by reading them back.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/app/app_state.h"
#include "ui/app/keyboard_commands.h"
#include "ui/app/keyboard_link.h"

namespace veltrane::ui {

struct ChangedDownload {
  Outcome outcome{Result::TransferFailed};  // Ok: the keyboard holds the image
  ChangedWordsResult result;
};

// The lines that tell what a changed-words download sent, without line ends:
// why every word was sent, when it was, then "Sent N of 768 words".
std::vector<std::string> ChangedWordsLines(const ChangedWordsResult& result);

// Receives each line of what was sent, after the log.
using LineTold = std::function<void(const std::string& line)>;

// The steps of "Program Keyboard" up to the built image, then the
// changed-words download of its 3072 bytes. Logs what was sent (and hands it
// to `told`), then tells what the read-back found as the verify after a
// download does; "Programming failed" when no keyboard was reached or a write
// was refused. `repaint` shows the window before the transfer, as "Program
// Keyboard" does.
ChangedDownload ProgramChangedWords(AppState& app, const Services& io, KeyboardLink& link,
                                    const LineTold& told = {}, const RepaintNow& repaint = {});

}  // namespace veltrane::ui
