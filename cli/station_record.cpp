// SPDX-License-Identifier: MIT
#include "cli/station_record.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "cli/cli_support.h"
#include "cli/terminal_text.h"
#include "eeprom/image_layout.h"
#include "fileaccess/replace_file.h"
#include "station/image_digest.h"
#include "station/nirvex_port.h"
#include "station/run_identity.h"
#include "station/station_log.h"
#include "station/store/open_store.h"

namespace veltrane::cli {
namespace {

const char* const kStationLogUsage =
    "usage: veltrane-cli station-log [--db STORE] [-o FILE.csv]\n"
    "  Writes the whole record of the store (default station.sqlite) as CSV, one row\n"
    "  per keyboard, oldest first: time, identity, version text, serial, result\n"
    "  (PASS, FAIL, RESERVED, RELEASED, REPLACED), reason, seconds, station.\n";

int Fail(const std::string& text) {
  std::fprintf(stderr, "veltrane-cli: %s\n", EscapeControls(text).c_str());
  return kExitFailed;
}

// An existing store: a missing SQLite file is not made here.
std::unique_ptr<station::StationStore> OpenExisting(const std::string& db, std::string& error) {
  struct stat st {};
  if (!station::store::NamesServer(db) && ::stat(db.c_str(), &st) != 0) {
    error = db + ": no such store";
    return nullptr;
  }
  return station::store::OpenStore(db, error);
}

// The keyboard plugged in that holds `serial` at 0x630; empty when none does.
std::string KeyboardHolding(const std::string& serial) {
  station::NirvexPort port;
  for (const station::PortKeyboard& keyboard : port.List().keyboards) {
    std::vector<std::uint8_t> bytes(eeprom::kKeyboardBytes);
    if (port.Read(keyboard.path, bytes).ok && station::SerialIn(bytes) == serial)
      return keyboard.path;
  }
  return {};
}

}  // namespace

std::string StoreBeside(const std::string& log, const std::string& name) {
  const std::size_t slash = log.rfind('/');
  return slash == std::string::npos ? name : log.substr(0, slash + 1) + name;
}

int ReleaseReservation(const std::string& serial, const std::string& db) {
  std::string error;
  const auto store = OpenExisting(db, error);
  if (!store) return Fail("the store cannot be used: " + error);
  station::StoreRow row;
  bool found = false;
  if (const station::StoreStatus looked = store->Holder(serial, row, found); !looked)
    return Fail(looked.reason);
  if (!found || row.state != station::SerialState::Reserved)
    return Fail(serial + " is not reserved in " + store->Name() +
                (found ? std::string(": it is ") + station::StateName(row.state) : ""));
  bool elsewhere = false;
  if (station::RunIsAlive(row.run, elsewhere))
    return Fail(serial + " is reserved by a station that is running now (" + row.run + ")");
  if (const std::string holder = KeyboardHolding(serial); !holder.empty())
    return Fail(holder + " holds " + serial +
                ": let a station record it (it does so when the keyboard is plugged in)");
  const std::string by = "released by the operator on " + station::HostOf(station::ThisRun());
  const station::StoreStatus released =
      store->Release(serial, station::IsoTime(std::chrono::system_clock::now()), by);
  if (!released) return Fail(released.reason);
  std::fprintf(stderr, "station: %s released in %s; it will be handed out again%s\n",
               serial.c_str(), EscapeControls(store->Name()).c_str(),
               elsewhere ? " (it was reserved on another machine)" : "");
  return kExitOk;
}

int RunStationLog(int argc, char** argv) {
  int status = kExitOk;
  const Arguments args = ParseArguments(argc, argv, 2, {"--db", "--output"}, {{"-o", "--output"}});
  if (!ParseOrHelp(args, kStationLogUsage, 0, status)) return status;
  std::string error;
  const auto store = OpenExisting(args.Option("--db").value_or("station.sqlite"), error);
  if (!store) return Fail("the store cannot be used: " + error);
  std::vector<station::StoreRow> rows;
  if (const station::StoreStatus read = store->Rows(0, rows); !read) return Fail(read.reason);
  const std::string text = station::FormatLog(rows);
  const auto output = args.Option("--output");
  if (!output) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
  }
  if (const fileaccess::Status written = fileaccess::ReplaceFile(*output, text); !written)
    return Fail("Cannot open: " + written.reason);
  return kExitOk;
}

}  // namespace veltrane::cli
