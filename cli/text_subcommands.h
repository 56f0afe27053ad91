// SPDX-License-Identifier: MIT
// Subcommands over the definition as JSON text: export, import and diff.
#pragma once

namespace veltrane::cli {

int RunExport(int argc, char** argv);
int RunImport(int argc, char** argv);
int RunDiff(int argc, char** argv);

}  // namespace veltrane::cli
