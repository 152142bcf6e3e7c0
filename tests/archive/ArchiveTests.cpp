#include "archive/Cabinet.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "../support/Cabextract.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using archive::ArchiveError;
using archive::CabinetReader;
using archive::SizeText;
using archive::WriteCabinet;

namespace {

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray b(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        b[i] = static_cast<char>(gen.bounded(i % 3 == 0 ? 256 : 8));  // compressible, not trivially
    return b;
}

void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(data), data.size());
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using testing_support::CabextractAccepts;

class ArchiveTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    QString makeDir(const QString& name) const
    {
        QDir().mkpath(path(name));
        return path(name) + QLatin1Char('/');
    }
    QTemporaryDir dir;
};

// Sizes around the 32 KiB block, an empty file and a name with accents.
const std::vector<std::pair<QString, qsizetype>> kFiles = {
    {QStringLiteral("PLANNING.MDB"), 300000}, {QStringLiteral("vide.jpg"), 0},
    {QStringLiteral("People1.jpg"), 32768},   {QStringLiteral("Été à Noël.jpg"), 32769},
    {QStringLiteral("File2.f"), 17},          {QStringLiteral("Doc3.jpg"), 65536 * 3 + 5},
};

}  // namespace

TEST_F(ArchiveTest, RoundTripIsExactAndReadByCabextract)
{
    const QString source = makeDir(QStringLiteral("source"));
    QStringList files;
    quint32 seed = 1;
    for (const auto& [name, size] : kFiles) {
        writeFile(source + name, randomBytes(size, seed++));
        files << source + name;
    }
    std::vector<archive::Progress> steps;
    const QString cab = path(QStringLiteral("a.bkp"));
    WriteCabinet(cab, files, [&](const archive::Progress& p) { steps.push_back(p); });

    QString out;
    EXPECT_TRUE(CabextractAccepts(cab, &out)) << out.toStdString();
    ASSERT_FALSE(steps.empty());
    for (size_t i = 1; i < steps.size(); ++i) {
        EXPECT_GE(steps[i].done, steps[i - 1].done);
        EXPECT_GE(steps[i].entry, steps[i - 1].entry);
    }
    EXPECT_EQ(steps.back().done, steps.back().total);
    EXPECT_EQ(steps.back().entry, static_cast<int>(kFiles.size()) - 1);

    CabinetReader reader(cab);
    ASSERT_EQ(reader.entries().size(), static_cast<qsizetype>(kFiles.size()));
    for (size_t i = 0; i < kFiles.size(); ++i) {
        EXPECT_EQ(reader.entries().at(static_cast<qsizetype>(i)).name, kFiles[i].first);
        EXPECT_EQ(reader.entries().at(static_cast<qsizetype>(i)).size, kFiles[i].second);
    }
    const QString target = makeDir(QStringLiteral("target"));
    int started = -1;
    reader.extractAll(target, [&](const archive::Progress& p) { started = qMax(started, p.entry); });
    EXPECT_EQ(started, static_cast<int>(kFiles.size()) - 1);
    for (const auto& [name, size] : kFiles)
        EXPECT_EQ(readFile(target + name), readFile(source + name)) << name.toStdString();
    EXPECT_EQ(QDir(target).entryList(QDir::Files | QDir::Hidden).size(), static_cast<qsizetype>(kFiles.size()));
}

TEST_F(ArchiveTest, ReadsCabinetsMadeByGcab)
{
    if (QStandardPaths::findExecutable(QStringLiteral("gcab")).isEmpty())
        GTEST_SKIP() << "gcab is missing";
    const QString source = makeDir(QStringLiteral("source"));
    writeFile(source + QStringLiteral("PLANNING.MDB"), randomBytes(100000, 7));
    writeFile(source + QStringLiteral("People4.jpg"), randomBytes(5000, 8));
    QProcess p;
    p.setWorkingDirectory(source);
    p.start(QStringLiteral("gcab"),
            {QStringLiteral("-c"), QStringLiteral("-z"), path(QStringLiteral("g.cab")), QStringLiteral("PLANNING.MDB"),
             QStringLiteral("People4.jpg")});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    CabinetReader reader(path(QStringLiteral("g.cab")));
    ASSERT_EQ(reader.entries().size(), 2);
    const QString target = makeDir(QStringLiteral("target"));
    reader.extractAll(target);
    EXPECT_EQ(readFile(target + QStringLiteral("PLANNING.MDB")), readFile(source + QStringLiteral("PLANNING.MDB")));
    EXPECT_EQ(readFile(target + QStringLiteral("People4.jpg")), readFile(source + QStringLiteral("People4.jpg")));
}

namespace {

// A cabinet of our own with one entry name or size changed in place: the
// names (same length, so the file table stays in step) and sizes stand
// plainly in the file table.
struct Hostile {
    const char* label;
    QByteArray to;        // the first entry's new name, or empty
    QByteArray secondTo;  // the second entry's new name, or empty
    quint32 size = 0;     // declared size of the first entry when not 0
    qint64 truncateTo = 0;
    const char* expected;  // part of the message
};

const Hostile kHostile[] = {
    {"parent directory", "../../xx.jpg", {}, 0, 0, "n'est pas un simple nom"},
    {"absolute path", "/etc/xxx.jpg", {}, 0, 0, "n'est pas un simple nom"},
    {"backslash path", "Images\\x.jpg", {}, 0, 0, "n'est pas un simple nom"},
    {"control character",
     "AAAA\x01"
     "AAA.jpg",
     {},
     0,
     0,
     "n'est pas un simple nom"},
    {"duplicate", {}, "AAAAAAAA.jpg", 0, 0, "illisible"},  // libgcab refuses it on reading
    {"huge declared size", {}, {}, 0x7FFFFFF0u, 0, "dépassent le contenu"},
    {"truncated", {}, {}, 0, 5000, "tronqué"},
    {"not a cabinet", {}, {}, 0, 3, "illisible"},
};

}  // namespace

TEST_F(ArchiveTest, HostileCabinetsAreRefusedAndNothingIsWrittenOutside)
{
    const QString source = makeDir(QStringLiteral("source"));
    writeFile(source + QStringLiteral("AAAAAAAA.jpg"), randomBytes(40000, 3));
    writeFile(source + QStringLiteral("BBBBBBBB.jpg"), randomBytes(40000, 4));
    const QString good = path(QStringLiteral("good.cab"));
    WriteCabinet(good, {source + QStringLiteral("AAAAAAAA.jpg"), source + QStringLiteral("BBBBBBBB.jpg")});
    const QByteArray original = readFile(good);

    int n = 0;
    for (const Hostile& h : kHostile) {
        SCOPED_TRACE(h.label);
        QByteArray bytes = original;
        for (const auto& [from, to] :
             {std::pair{QByteArray("AAAAAAAA.jpg"), h.to}, std::pair{QByteArray("BBBBBBBB.jpg"), h.secondTo}}) {
            if (to.isEmpty())
                continue;
            ASSERT_EQ(to.size(), from.size());
            const qsizetype at = bytes.indexOf(from);
            ASSERT_GE(at, 0);
            bytes.replace(at, from.size(), to);
        }
        if (h.size) {
            const qsizetype at = 44;  // the first file entry starts with its size
            for (int i = 0; i < 4; ++i)
                bytes[at + i] = static_cast<char>((h.size >> (8 * i)) & 0xFF);
        }
        if (h.truncateTo)
            bytes.truncate(h.truncateTo);
        const QString cab = path(QStringLiteral("h%1.cab").arg(n));
        writeFile(cab, bytes);
        const QString target = makeDir(QStringLiteral("w%1/inner").arg(n));
        QString message;
        try {
            CabinetReader reader(cab);
            reader.extractAll(target);
        } catch (const ArchiveError& e) {
            message = e.message();
        }
        EXPECT_TRUE(message.contains(QString::fromUtf8(h.expected))) << message.toStdString();
        EXPECT_TRUE(QDir(target).isEmpty()) << "something was extracted";
        EXPECT_EQ(QDir(path(QStringLiteral("w%1").arg(n))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList{QStringLiteral("inner")});
        ++n;
    }
    EXPECT_FALSE(QFile::exists(QStringLiteral("/etc/xxx.jpg")));
}

TEST_F(ArchiveTest, FailedWriteRemovesThePartialCabinet)
{
    const QString source = makeDir(QStringLiteral("source"));
    writeFile(source + QStringLiteral("big.bin"), randomBytes(2 << 20, 9));
    const QString cab = path(QStringLiteral("full.cab"));

    // A file-size limit stands for a full disk: write() fails with EFBIG.
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 200000;
    setrlimit(RLIMIT_FSIZE, &small);
    QString message;
    try {
        WriteCabinet(cab, {source + QStringLiteral("big.bin")});
    } catch (const ArchiveError& e) {
        message = e.message();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(message.contains(QStringLiteral("n'a pas pu être écrite"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("trop grand"))) << message.toStdString();
    EXPECT_FALSE(QFile::exists(cab));

    // Two files of one name, and a missing file, are refused before writing.
    for (const QStringList& files :
         {QStringList{source + QStringLiteral("big.bin"), source + QStringLiteral("big.bin")},
          QStringList{source + QStringLiteral("absent.jpg")}}) {
        EXPECT_THROW(WriteCabinet(cab, files), ArchiveError);
        EXPECT_FALSE(QFile::exists(cab));
    }
}

// Sizes in messages: kilobytes below a megabyte, so that 240 KB free never
// reads "0 Mo".
TEST(ArchiveText, SizesReadInKilobytesBelowAMegabyte)
{
    EXPECT_EQ(SizeText(240 * 1024, false), QStringLiteral("240 Ko"));
    EXPECT_EQ(SizeText(1, true), QStringLiteral("1 Ko"));
    EXPECT_EQ(SizeText(0, false), QStringLiteral("0 Ko"));
    EXPECT_EQ(SizeText((1 << 20) + 1, true), QStringLiteral("2 Mo"));
    EXPECT_EQ(SizeText(5 << 20, false), QStringLiteral("5 Mo"));
}

// The writer holds to the reader's rule: a name the reader would refuse is
// refused before anything is written; a file may be stored under a chosen name.
TEST_F(ArchiveTest, WriterRefusesNamesTheReaderRefuses)
{
    const QString file = path(QStringLiteral("a\\b.jpg"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    const QString cab = path(QStringLiteral("names.cab"));
    EXPECT_THROW(WriteCabinet(cab, {file}), ArchiveError);
    EXPECT_FALSE(QFile::exists(cab));
    WriteCabinet(cab, {file}, {QStringLiteral("a_b.jpg")});
    const CabinetReader reader(cab);
    ASSERT_EQ(reader.entries().size(), 1);
    EXPECT_EQ(reader.entries().first().name, QStringLiteral("a_b.jpg"));
}
