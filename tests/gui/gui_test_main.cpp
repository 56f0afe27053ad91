// SPDX-License-Identifier: MIT
// One QApplication for every widget test, on the offscreen platform unless
// the environment asks for another. The program's own files (log, recovery
// copies) go to a state directory of the run's own, never the user's.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "support/temp_dir.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  veltrane::testing::TempDir state;
  if (std::getenv("VELTRANE_TEST_CHILD") == nullptr)
    ::setenv("XDG_STATE_HOME", state.path().c_str(), 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
