#include <gtest/gtest.h>

#include <QApplication>

namespace {

// One QApplication for every test of the window; the platform is offscreen (set by ctest).
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tests_app";
    static char* argv[] = {name, nullptr};
    app_ = new QApplication(argc, argv);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

 private:
  QApplication* app_ = nullptr;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace
