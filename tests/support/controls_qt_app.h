// One QApplication for a GoogleTest program whose main() comes from gtest_main: the test
// environment creates it before the first test and destroys it after the last. Include this
// header in exactly one source file of the test program.
#pragma once

#include <memory>

#include <QApplication>
#include <QByteArray>
#include <gtest/gtest.h>

namespace controls_test {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Run headless also when started by hand, outside CTest.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        }
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "controls_test";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

inline ::testing::Environment* const g_qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace controls_test
