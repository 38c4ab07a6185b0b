#pragma once

// Test support used by every test that needs the shared object:
//   - a fresh temporary Documents folder, which the platform is pointed at,
//   - the resources of the build (trekora.db3, report definitions),
//   - a fresh shared Trekora (the next sharedTrekora() builds a new one),
//   - the console captured, so tests can look at the trace lines,
//   - the folder removed afterwards.
//
// As a fixture:
//   class MyTest : public TrekoraTest {};
//   TEST_F(MyTest, X) { auto& t = trekora(); ... }
// Or on its own (RAII) inside any test:
//   TrekoraTestEnvironment env;  sharedTrekora() ...

#include "core/Trekora.h"
#include "platform/Console.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class TrekoraTestEnvironment {
public:
    TrekoraTestEnvironment();
    ~TrekoraTestEnvironment();
    TrekoraTestEnvironment(const TrekoraTestEnvironment&) = delete;
    TrekoraTestEnvironment& operator=(const TrekoraTestEnvironment&) = delete;

    // The fresh Documents folder of this test.
    const std::string& documents() const { return documents_; }
    // The build's resources folder.
    static std::string resources();
    // Path of a file in the Documents folder.
    std::string documentsPath(const std::string& name) const;

    // The shared object, built on first use inside this environment.
    Trekora& trekora() { return sharedTrekora(); }
    // Drops the shared object: the next trekora() runs the construction again
    // (on the same Documents folder).
    void restart() { Trekora::resetShared(); }

    // Runs SQL statements on the Documents database (building the shared
    // object first, so the database is in place); fails the test on error.
    void execute(const std::string& sql);
    // Column 0 of the first row of a query on the Documents database ("" when
    // none or NULL).
    std::string scalar(const std::string& sql);

    // Console lines written since the environment was made (or cleared).
    platform::Console::Capture& console() { return *console_; }

private:
    std::string documents_;
    std::unique_ptr<platform::Console::Capture> console_;
};

class TrekoraTest : public ::testing::Test {
protected:
    void SetUp() override { env_ = std::make_unique<TrekoraTestEnvironment>(); }
    void TearDown() override { env_.reset(); }

    TrekoraTestEnvironment& env() { return *env_; }
    Trekora& trekora() { return env_->trekora(); }
    platform::Console::Capture& console() { return env_->console(); }
    void execute(const std::string& sql) { env_->execute(sql); }
    std::string scalar(const std::string& sql) { return env_->scalar(sql); }

    // Logs in with the demo PIN; fails the test when that is refused.
    void loginDemo();

private:
    std::unique_ptr<TrekoraTestEnvironment> env_;
};
