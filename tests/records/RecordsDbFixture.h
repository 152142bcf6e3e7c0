#pragma once

#include "core/Globals.h"
#include "db/Schema.h"
#include "db/TDataModule1.h"

#include "../support/Sandbox.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>

// A data directory with an empty database, the main data module open on it
// and its person and project queries scoped to dossier 3.
class RecordsDbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox = std::make_unique<testing_support::Sandbox>(false);
        core::Globals& g = core::globals();
        g.dataDir = sandbox->root() + QStringLiteral("Data/");
        for (const char* d : {"Access", "Images", "Files"})
            QDir().mkpath(g.dataDir + QString::fromLatin1(d));
        db::CreateDatabaseFile(g.dataDir + QStringLiteral("Access/PLANNING.MDB"));
        dm = std::make_unique<db::TDataModule1>();
        ASSERT_EQ(dm->OpenMainConnection(), QString());
        dm->setDossierSource([] { return 3; });
        dm->People.SQL()[2] = QStringLiteral("WHERE ID_FILE=3");
        dm->Project.SQL()[2] = QStringLiteral("WHERE ID_FILE=3");
    }
    void TearDown() override
    {
        dm.reset();
        sandbox.reset();
    }
    int count(const QString& sql) { return dm->ADOConnection1.scalar(sql)->toInt(); }

    std::unique_ptr<testing_support::Sandbox> sandbox;
    std::unique_ptr<db::TDataModule1> dm;
};
