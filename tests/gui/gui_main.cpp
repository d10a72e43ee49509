// One QApplication for all GUI tests, offscreen unless told otherwise.
#include <gtest/gtest.h>

#include <clocale>

#include <QApplication>

#include "gui/main/app_init.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  setlocale(LC_NUMERIC, "C");
  initVarnexResources();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
