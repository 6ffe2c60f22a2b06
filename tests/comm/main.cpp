// Test entry of the communication tests: the serial port wants an application object in the
// main thread (it creates socket notifiers), though the transfers run no event loop.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
