// Entry point of every test binary that needs a QApplication. The platform is
// forced to offscreen here, because gtest_discover_tests runs the binary at
// build time, outside CTest's environment; the scale factor is fixed here for
// the same reason.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
#ifdef QUILLMONT_TEST_SCREEN
  // A screen of a chosen size, which the offscreen platform reads from a file.
  setenv("QT_QPA_PLATFORM", "offscreen:configfile=" QUILLMONT_TEST_SCREEN, 1);
#else
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
#endif
  setenv("QT_SCALE_FACTOR", QUILLMONT_TEST_SCALE, 1);  // chosen per binary, 1 for most
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
