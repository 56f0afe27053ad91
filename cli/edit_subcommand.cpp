// SPDX-License-Identifier: MIT
#include "cli/edit_subcommand.h"

#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/cli_support.h"
#include "cli/command_files.h"
#include "cli/standard_streams.h"
#include "persist/config_file.h"
#include "persist/definition_diff.h"
#include "persist/header_settings.h"
#include "ui/app/file_commands.h"
#include "ui/app/key_edits.h"
#include "ui/app/macro_store_check.h"

namespace veltrane::cli {

const char* const kEditUsage =
    "usage: veltrane-cli edit CONFIG.DAT move|copy|swap R/C R/C [-o FILE]\n"
    "       veltrane-cli edit CONFIG.DAT copy-layer|swap-layers LAYER LAYER [-o FILE]\n"
    "       veltrane-cli edit CONFIG.DAT clear-layer LAYER [-o FILE]\n"
    "  Moves, copies or swaps the key at row R (0..15), column C (0..7) with all\n"
    "  its layers, legend and flags; or copies, swaps or clears a layer (base, fn1,\n"
    "  fn2, fn1+fn2) of every key. A copied macro gets a macro of its own; a copy\n"
    "  that would not fit the macro store is refused. CONFIG.DAT is replaced\n"
    "  safely, or FILE ('-': standard output) is written instead. What changed is\n"
    "  printed as 'veltrane-cli diff' prints it.\n";

namespace {

struct Edit {
  bool layers = false;
  model::KeyMove move = model::KeyMove::Move;
  model::LayerEdit layerEdit = model::LayerEdit::Copy;
  int operands = 2;
};

std::optional<Edit> EditNamed(std::string_view name) {
  if (name == "move") return Edit{false, model::KeyMove::Move};
  if (name == "copy") return Edit{false, model::KeyMove::Copy};
  if (name == "swap") return Edit{false, model::KeyMove::Swap};
  if (name == "copy-layer") return Edit{true, {}, model::LayerEdit::Copy};
  if (name == "swap-layers") return Edit{true, {}, model::LayerEdit::Swap};
  if (name == "clear-layer") return Edit{true, {}, model::LayerEdit::Clear, 1};
  return std::nullopt;
}

std::optional<int> Number(std::string_view text, int limit) {
  int value = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > limit)
    return std::nullopt;
  return value;
}

// "R/C" with R in 0..15 and C in 0..7: the key index.
std::optional<int> PositionNamed(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const auto row = Number(text.substr(0, slash), model::kRows - 1);
  const auto column = Number(text.substr(slash + 1), model::kColumns - 1);
  if (!row || !column) return std::nullopt;
  return model::KeyIndex(*row, *column);
}

// The operands as key indexes or layers; the error names the first bad one.
bool ReadOperands(const Edit& edit, const std::vector<std::string>& words, int (&out)[2],
                  std::string& error) {
  for (int i = 0; i < edit.operands; ++i) {
    const std::string& word = words[static_cast<std::size_t>(2 + i)];
    const std::optional<int> value = edit.layers ? ui::LayerByName(word) : PositionNamed(word);
    if (!value) {
      error = edit.layers ? "'" + word + "' is no layer: base, fn1, fn2 or fn1+fn2"
                          : "'" + word + "' is no position R/C with R 0..15 and C 0..7";
      return false;
    }
    out[i] = *value;
  }
  return true;
}

persist::HeaderImage HeaderOf(const model::Settings& settings, persist::HeaderImage header) {
  persist::ToHeader(settings, header);
  return header;
}

}  // namespace

int RunEdit(int argc, char** argv) {
  const Arguments args = ParseArguments(argc, argv, 2, {"--output"}, {{"-o", "--output"}});
  if (args.help) return PrintHelp(kEditUsage);
  if (!args.error.empty()) return UsageError(kEditUsage, args.error);
  if (args.positional.size() < 2) return UsageError(kEditUsage, "expected CONFIG.DAT and an edit");
  const std::optional<Edit> edit = EditNamed(args.positional[1]);
  if (!edit) return UsageError(kEditUsage, "unknown edit '" + args.positional[1] + "'");
  if (args.positional.size() != static_cast<std::size_t>(2 + edit->operands))
    return UsageError(kEditUsage,
                      edit->operands == 1 ? "expected one LAYER" : "expected two operands");
  int operand[2] = {0, 0};
  if (std::string error; !ReadOperands(*edit, args.positional, operand, error))
    return UsageError(kEditUsage, error);

  const std::string& input = args.positional[0];
  const std::string output = args.Option("--output").value_or(input);
  if (IsStandardStream(output) && RefuseBinaryToTerminal("a configuration file"))
    return kExitFailed;
  Run run;
  if (!LoadConfigurationToRewrite(run, input)) return kExitFailed;
  const auto before = std::make_unique<model::KeyboardDefinition>(run.app.doc.def);
  const persist::HeaderImage beforeHeader = run.app.doc.header;  // the file's, as read
  model::KeyboardDefinition& def = run.app.doc.def;
  const ui::Outcome done = edit->layers
                               ? ui::EditLayersChecked(def, edit->layerEdit, operand[0], operand[1])
                               : ui::MoveKeyChecked(def, operand[0], operand[1], edit->move);
  if (done.result == ui::Result::MacrosDoNotFit)
    return ExitStatus(ui::Told(run.io, ui::Command::WriteFile, done));
  if (!done.ok() && !args.Option("--output")) {
    std::fputs("veltrane-cli: nothing changed; nothing was written\n", stderr);
    return kExitOk;
  }
  if (!ui::Told(run.io, ui::Command::WriteFile, ui::PackStringsThatFit(run.app)))
    return kExitFailed;
  const bool toStandardOutput = IsStandardStream(output);
  if (toStandardOutput) {
    if (!WriteOutputFile(run, output, persist::EncodeConfigFile(def, run.app.doc.header)))
      return kExitFailed;
  } else {
    if (output != input) def.settings.ConfigFileName = ui::FileNameOf(output);
    if (!ui::WriteConfiguration(run.app, run.io, output, ui::WriteFailure::Tell).ok())
      return kExitFailed;
  }
  // What differs between the file read and the file written, as diff prints it; beside a
  // file on standard output, on stderr.
  for (const persist::DefinitionDifference& d : persist::DiffDefinitions(
           *before, beforeHeader, def, HeaderOf(def.settings, run.app.doc.header))) {
    const std::string line = d.line + "\n";
    if (toStandardOutput) {
      std::fputs(line.c_str(), stderr);
    } else if (!WriteStandardOutput(line)) {
      break;
    }
  }
  return kExitOk;
}

}  // namespace veltrane::cli
