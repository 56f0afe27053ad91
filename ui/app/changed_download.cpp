// SPDX-License-Identifier: MIT
#include "ui/app/changed_download.h"

#include <algorithm>

#include "eeprom/image_layout.h"
#include "ui/app/verify.h"

namespace veltrane::ui {

std::vector<std::string> ChangedWordsLines(const ChangedWordsResult& result) {
  std::vector<std::string> lines;
  if (result.full == ChangedWordsResult::Full::Unread)
    lines.push_back(model::FormatText(
        "The keyboard could not be read first: a full download of %u words", result.words));
  if (result.full == ChangedWordsResult::Full::ManyDiffer)
    lines.push_back(model::FormatText("%u of %u words differed: a full download", result.differed,
                                      result.words));
  lines.push_back(model::FormatText("Sent %u of %u words", result.sent, result.words));
  return lines;
}

namespace {

VerifyOutcome TellVerify(const AppState& app, const Services& io,
                         const ChangedWordsResult& result) {
  if (result.verify == ChangedWordsResult::Verify::Unread) return TellUnverified(io);
  if (result.verify == ChangedWordsResult::Verify::Same) return TellVerifyResult(io, {});
  // A difference is never told as a verified download, whatever the link reported with it.
  const std::size_t at = result.firstBad < eeprom::kKeyboardBytes ? result.firstBad : 0;
  return TellVerifyResult(
      io, {std::max<std::size_t>(result.badBytes, 1), at, app.doc.image[at], result.firstBadRead});
}

}  // namespace

ChangedDownload ProgramChangedWords(AppState& app, const Services& io, KeyboardLink& link,
                                    const LineTold& told, const RepaintNow& repaint) {
  ChangedDownload download;
  download.outcome = PrepareDownload(app, io, link, repaint);
  if (!download.outcome.ok()) return download;
  download.result = link.ProgramChangedWords(app.doc.image, 0, eeprom::kKeyboardBytes,
                                             StartTransferProgress(app));
  const ChangedWordsResult& result = download.result;
  const bool reached = result.verify != ChangedWordsResult::Verify::NotRun;
  for (const std::string& line : reached ? ChangedWordsLines(result) : std::vector<std::string>{}) {
    io.log.Write(line + "\n");
    if (told) told(line);
  }
  // Every word went out, and the keyboard closed again unless the read-back found other bytes.
  const bool programmed = reached && result.sent == result.toSend &&
                          (result.holds || result.verify != ChangedWordsResult::Verify::Same);
  if (!programmed) Tell(io, Command::Program, {Result::TransferFailed, link.LastStatus()});
  const bool verified = reached && TellVerify(app, io, result) == VerifyOutcome::Same;
  download.outcome =
      result.holds && verified ? Outcome{} : Outcome{Result::TransferFailed, link.LastStatus()};
  return download;
}

}  // namespace veltrane::ui
