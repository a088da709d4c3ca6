#pragma once

#include "core/data_module.h"
#include "core/schema.h"
#include "support/test_db.h"

#include <QSqlQuery>
#include <gtest/gtest.h>
#include <memory>

namespace gctest {

// A data module on a fresh database of the test's backend; the PostgreSQL half skips
// itself when no test server runs.
class DmTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        if (GetParam() == Backend::PostgreSQL && !postgresAvailable())
            GTEST_SKIP() << "no PostgreSQL test server";
        dm = std::make_unique<gc::Tdm>();
        dm->ADOConnection1.setConnectionString(freshDatabase(GetParam()));
        dm->ADOConnection1.open();
        if (withSchema()) {
            ASSERT_TRUE(gc::EnsureSchema(*dm).complete());
        }
    }
    virtual bool withSchema() const { return true; }

    QVariant scalar(const QString& sql) {
        QSqlQuery q(dm->ADOConnection1.database());
        if (!q.exec(sql) || !q.next())
            return {};
        return q.value(0);
    }
    bool raw(const QString& sql) { return QSqlQuery(dm->ADOConnection1.database()).exec(sql); }
    bool pg() const { return GetParam() == Backend::PostgreSQL; }

    std::unique_ptr<gc::Tdm> dm;
};

} // namespace gctest

// Runs a DmTest suite on both backends.
#define GC_ON_BOTH_BACKENDS(Suite)                                                                 \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        Engines, Suite, ::testing::Values(gctest::Backend::SQLite, gctest::Backend::PostgreSQL),   \
        [](const auto& p) { return gctest::backendName(p.param).toStdString(); })
