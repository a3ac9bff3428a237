// Entry point of every test binary that needs a QApplication. The platform is
// forced to offscreen here, because gtest_discover_tests runs the binary at
// build time, outside CTest's environment; the scale factor is fixed here for
// the same reason.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("QT_SCALE_FACTOR", QUILLMONT_TEST_SCALE, 1);  // chosen per binary, 1 for most
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
