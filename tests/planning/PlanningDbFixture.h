#pragma once

#include "core/Clock.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Schema.h"
#include "planning/PlanningModel.h"

#include "../support/Sandbox.h"

#include <gtest/gtest.h>

#include <memory>

// A planning database with two persons and two projects in dossier 1.
namespace planning_test {

using namespace planning;

class PlanningDbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox = std::make_unique<testing_support::Sandbox>(false);
        const QString path = sandbox->root() + QStringLiteral("PLANNING.MDB");
        db::CreateDatabaseFile(path);
        connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
        connection.open();
        query.setConnection(&connection);
        exec("INSERT INTO PEOPLE (Id, Id_File, Name, PenColor, BrushColor, BrushStyle) VALUES (1, 1, 'Alice', 65280, "
             "0, 0)");
        exec("INSERT INTO PEOPLE (Id, Id_File, Name, PenColor, BrushColor, BrushStyle) VALUES (2, 1, 'Bruno', "
             "16711680, 0, 1)");
        exec("INSERT INTO PROJECT (Id, Id_File, Title, PenColor, BrushColor, BrushStyle) VALUES (1, 1, 'Pont', 255, 0, "
             "0)");
        exec("INSERT INTO PROJECT (Id, Id_File, Title, PenColor, BrushColor, BrushStyle) VALUES (2, 1, 'Tour', "
             "16711680, 255, 2)");
        persons = {MakeEntry(1, 65280, 0, 0, QStringLiteral("Alice"), {}),
                   MakeEntry(2, 16711680, 0, 1, QStringLiteral("Bruno"), {})};
        projects = {MakeEntry(1, 255, 0, 0, QStringLiteral("Pont"), {}),
                    MakeEntry(2, 16711680, 255, 2, QStringLiteral("Tour"), {})};
        ctx.dossierId = 1;
        ctx.personId = 1;
        ctx.projectId = 1;
        ctx.year = 2024;
        ctx.month = 3;
    }
    void TearDown() override
    {
        query.Close();
        connection.close();
        sandbox.reset();
    }
    void exec(const char* sql) { connection.exec(QString::fromUtf8(sql)); }
    void row(int file, int people, int project, const char* date, int half)
    {
        connection.exec(QStringLiteral("INSERT INTO PLANNING VALUES (?, ?, ?, ?, ?)"),
                        {file, people, project, QString::fromLatin1(date), half});
    }
    int count(const QString& where)
    {
        return connection.scalar(QStringLiteral("SELECT count(*) FROM PLANNING WHERE ") + where)->toInt();
    }

    std::unique_ptr<testing_support::Sandbox> sandbox;
    db::Connection connection;
    db::Dataset query;
    QStringList persons, projects;
    PlanningContext ctx;
};

}  // namespace planning_test
