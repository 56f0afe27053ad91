// SPDX-License-Identifier: MIT
// Subcommands over configuration files: report and convert.
#pragma once

namespace veltrane::cli {

int RunReport(int argc, char** argv);
int RunConvert(int argc, char** argv);
extern const char* const kReportUsage;
extern const char* const kConvertUsage;

}  // namespace veltrane::cli
