// SPDX-License-Identifier: MIT
// The program's way to the keyboard: the three operations of the shared
// library in C++ types, behind an interface so that commands can be driven by
// a fake and a window can run them off its own thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace veltrane::ui {

// Called once per progress step of a block transfer (100 times per block).
using ProgressStep = std::function<void()>;

// How the link's last call ended, beyond its result: the library's
// NirvexStatus, value for value (LinkStatusOf). A close that failed after a
// complete download still has the result true.
enum class LinkStatus {
  Ok = 0,
  NoKeyboard = 1,
  RangeRefused = 2,
  ReportFailed = 3,
  CloseFailed = 4,
  VerifyFailed = 5,  // the keyboard was written but holds other bytes
  Busy = 6,          // another program holds the keyboard
};

// What a changed-words download did: the library's NirvexChangedWords.
struct ChangedWordsResult {
  enum class Full { No, Unread, ManyDiffer };  // why every word was sent
  enum class Verify { Same, Differs, Unread, NotRun };

  bool holds = false;  // the keyboard was found to hold the whole block, and closed again
  unsigned words = 0;
  unsigned toSend = 0;
  unsigned sent = 0;  // write reports the keyboard accepted
  Full full = Full::No;
  Verify verify = Verify::NotRun;  // NotRun: no keyboard was reached
  std::size_t badBytes = 0;        // Differs: how many bytes, the first address and its byte
  std::size_t firstBad = 0;
  std::uint8_t firstBadRead = 0;
  unsigned differed = 0;  // words the first read found differing (0 when it failed)
};

// What a download with its read-back did.
struct ReadBackDownload {
  bool written = false;                // the keyboard took every report (ProgramFirmWare's result)
  LinkStatus status = LinkStatus::Ok;  // the download's status
  bool readBack = false;               // then the whole block was read back
};

class KeyboardLink {
 public:
  virtual ~KeyboardLink() = default;
  // The keyboard's version text, or the library's text for none ("Not found").
  virtual std::string DetectKeyboard() = 0;
  // Writes bytes[address .. address + count) (or a control write of bytes[0..3]
  // at 0xFF00..0xFFFF); true when the keyboard took every report.
  virtual bool ProgramFirmWare(std::span<const std::uint8_t> bytes, unsigned address,
                               unsigned count, const ProgressStep& step) = 0;
  // Fills bytes[address .. address + count); true only when all were read.
  virtual bool ReadFirmWare(std::span<std::uint8_t> bytes, unsigned address, unsigned count,
                            const ProgressStep& step) = 0;
  // Writes only the words of bytes[address .. address + count) that the
  // keyboard does not hold, then reads them back; 100 steps in all. A link
  // without the operation reaches no keyboard (Verify::NotRun).
  virtual ChangedWordsResult ProgramChangedWords(std::span<const std::uint8_t>, unsigned, unsigned,
                                                 const ProgressStep&) {
    return {};
  }
  // ProgramFirmWare of a block, then, when every report went through and the
  // keyboard closed again, ReadFirmWare of the same block into `readBack`
  // (indexed as `bytes`); 100 steps each. The library's "Done" tells that the
  // keyboard holds the block: a link that can keep it back shows it only once
  // the block read back equals the one written.
  virtual ReadBackDownload ProgramAndReadBack(std::span<const std::uint8_t> bytes, unsigned address,
                                              unsigned count, std::span<std::uint8_t> readBack,
                                              const ProgressStep& step) {
    ReadBackDownload done;
    done.written = ProgramFirmWare(bytes, address, count, step);
    done.status = LastStatus();
    if (done.written && done.status != LinkStatus::CloseFailed)
      done.readBack = ReadFirmWare(readBack, address, count, step);
    return done;
  }
  // Why the last detection found a matching keyboard it could not open, and
  // how to fix that; empty when there was no such keyboard.
  virtual std::string AccessProblem() { return {}; }
  // The status of the last call made through this link; a link that cannot
  // tell says Ok and is judged by its results alone.
  virtual LinkStatus LastStatus() { return LinkStatus::Ok; }
};

}  // namespace veltrane::ui
