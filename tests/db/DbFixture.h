#pragma once

#include "core/Globals.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Schema.h"

#include "../support/Sandbox.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>

// A fresh database with the full schema in the test's sandbox, and an open
// connection to it. The globals point their data directory at the sandbox.
class DbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox = std::make_unique<testing_support::Sandbox>(false);
        dataDir = sandbox->root() + QStringLiteral("Data/");
        for (const char* d : {"Access", "Images", "Files"})
            QDir().mkpath(dataDir + QString::fromLatin1(d));
        core::globals().dataDir = dataDir;
        core::globals().databaseFile = QStringLiteral("Access/PLANNING.MDB");
        dbPath = dataDir + QStringLiteral("Access/PLANNING.MDB");
        db::CreateDatabaseFile(dbPath);
        connection = std::make_unique<db::Connection>();
        connection->setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + dbPath);
        connection->open();
    }

    void TearDown() override
    {
        connection.reset();
        sandbox.reset();
    }

    int count(const QString& sql)
    {
        auto v = connection->scalar(sql);
        return v ? v->toInt() : -1;
    }

    std::unique_ptr<testing_support::Sandbox> sandbox;
    std::unique_ptr<db::Connection> connection;
    QString dataDir;
    QString dbPath;
};
