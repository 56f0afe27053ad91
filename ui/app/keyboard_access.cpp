// SPDX-License-Identifier: MIT
#include "ui/app/keyboard_access.h"

#include <sstream>

#include "ui/app/udev_rules.h"

namespace veltrane::ui {

std::string KeyboardAccessAdvice(std::string_view problem) {
  std::string advice(problem);
  if (!advice.empty() && advice.back() != '\n') advice += '\n';
  advice += "\nThe rule to install (as root) in ";
  advice += kUdevRulePath;
  advice += ":\n";
  std::istringstream rules(kUdevRulesFile);
  for (std::string line; std::getline(rules, line);)
    if (!line.empty() && line[0] != '#') advice += line + "\n";
  return advice;
}

void TellAccessProblemOnce(AppState& app, const Services& io, KeyboardLink& link) {
  if (app.doc.accessProblemTold) return;
  const std::string problem = link.AccessProblem();
  if (problem.empty()) return;
  app.doc.accessProblemTold = true;
  io.messages.Show(KeyboardAccessAdvice(problem), "Keyboard access", model::MessageIcon::Warning);
}

}  // namespace veltrane::ui
