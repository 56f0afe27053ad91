// SPDX-License-Identifier: MIT
// Pictures of the windows under test, saved to $VELTRANE_SCREENSHOT_DIR when it
// is set (the pictures in docs/ come from there), else to a temporary directory.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

inline void Grab(QWidget& widget, const char* name) {
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  const QImage image = widget.grab().toImage();
  EXPECT_EQ(image.size(), widget.size() * image.devicePixelRatio()) << name;
  static const QTemporaryDir temp;
  const QString dir = qEnvironmentVariable("VELTRANE_SCREENSHOT_DIR", temp.path());
  EXPECT_TRUE(image.save(QDir(dir).filePath(name))) << name;
}
