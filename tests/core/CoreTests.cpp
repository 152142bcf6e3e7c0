#include "core/IniFile.h"
#include "core/MessageCatalog.h"
#include "core/Settings.h"
#include "core/StringUtils.h"
#include "core/TextFile.h"

#include "../support/Sandbox.h"

#include <gtest/gtest.h>

#include <algorithm>

using testing_support::Sandbox;

TEST(FoldAccents, FoldsLowerCaseAccentsOnly)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"éèêë", "eeee"}, {"àâä", "aaa"},
        {"ùûü", "uuu"},   {"ôö", "oo"},
        {"îï", "ii"},     {"ç", "c"},
        {"ÉÈÇ", "ÉÈÇ"},   {"Quillmark Planning", "Quillmark Planning"},
        {"", ""},         {"Données élève", "Donnees eleve"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(core::FoldAccents(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(CompareFrench, IgnoresCaseAndAccents)
{
    QStringList names{QStringLiteral("Zoé"),   QStringLiteral("Élodie"),  QStringLiteral("alice"),
                      QStringLiteral("Bruno"), QStringLiteral("émile"),   QStringLiteral("Eric"),
                      QStringLiteral("Ève"),   QStringLiteral("zacharie")};
    std::stable_sort(names.begin(), names.end(), core::lessFrench);
    EXPECT_EQ(names.join(QLatin1Char(',')), QStringLiteral("alice,Bruno,Élodie,émile,Eric,Ève,zacharie,Zoé"));
    EXPECT_EQ(core::compareFrench(u"abc", u"ABC"), 0);
    EXPECT_LT(core::compareFrench(u"", u"a"), 0);
    EXPECT_GT(core::compareFrench(u"Œuvre", u"Noé"), 0);
}

TEST(IncludeTrailingBackslash, AddsSeparatorOnce)
{
    EXPECT_EQ(core::IncludeTrailingBackslash(QStringLiteral("/a/b")), QStringLiteral("/a/b/"));
    EXPECT_EQ(core::IncludeTrailingBackslash(QStringLiteral("/a/b/")), QStringLiteral("/a/b/"));
    EXPECT_EQ(core::IncludeTrailingBackslash(QString()), QString());
}

TEST(WebAddress, HttpInFrontOnlyWithoutAWebSchemeOfItsOwn)
{
    const struct {
        const char* typed;
        const char* opened;
    } cases[] = {{"http://a.fr", "http://a.fr"},
                 {"https://a.fr/x", "https://a.fr/x"},
                 {"HTTPS://a.fr", "HTTPS://a.fr"},
                 {"ftp://a.fr", "ftp://a.fr"},
                 {"www.a.fr", "http://www.a.fr"},
                 {"a.fr:8080", "http://a.fr:8080"},
                 {"", "http://"},
                 {"javascript:alert(1)", "http://javascript:alert(1)"},
                 {"file:///etc/passwd", "http://file:///etc/passwd"}};
    for (const auto& c : cases)
        EXPECT_EQ(core::WebAddress(QString::fromLatin1(c.typed)), QString::fromLatin1(c.opened)) << c.typed;
}

TEST(LookupText, AnswersTheCallSiteDefault)
{
    EXPECT_EQ(core::LookupText(QStringLiteral("Common"), QStringLiteral("X"), QStringLiteral("plain")),
              QStringLiteral("plain"));
    EXPECT_EQ(core::LookupText(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("a{CR}{CR}b")),
              QStringLiteral("a\r\rb"));
    EXPECT_EQ(core::LookupText(QString(), QString(), QStringLiteral("x %1 y")), QStringLiteral("x %1 y"));
    // One key, two call sites, two texts.
    const QString save = core::LookupText(core::msg::LibBdGfx_Message1_Save);
    const QString view = core::LookupText(core::msg::LibBdGfx_Message1_View);
    EXPECT_TRUE(save.startsWith(QStringLiteral("IMPOSSIBLE DE TROUVER L'IMAGE !\rLe fichier \"%1\"")));
    EXPECT_TRUE(view.startsWith(QStringLiteral("IMPOSSIBLE DE VISUALISER L'IMAGE !\r")));
    EXPECT_EQ(core::LookupText(core::msg::Common_MinimizeWindows), QStringLiteral("Réduire"));
}

TEST(TextFile, Windows1252WithCrLf)
{
    Sandbox sandbox(false);
    const QString path = sandbox.root() + QStringLiteral("t.txt");
    ASSERT_TRUE(core::writeTextFile(path, {QStringLiteral("Données €"), QString(), QStringLiteral("fin")}));
    EXPECT_EQ(Sandbox::readFile(path),
              QByteArray("Donn\xE9"
                         "es \x80\r\n\r\nfin\r\n"));
    const auto back = core::readTextFile(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, (QStringList{QStringLiteral("Données €"), QString(), QStringLiteral("fin")}));
    EXPECT_EQ(core::decodeTextLines("a\nb\rc\r\n"),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_FALSE(core::readTextFile(sandbox.root() + QStringLiteral("missing")).has_value());
}

TEST(IniFile, NamesWithoutRegardToCase)
{
    Sandbox sandbox(false);
    const QString path = sandbox.root() + QStringLiteral("x.ini");
    Sandbox::writeFile(path,
                       "[dataBASE]\r\npROVIDER=ODBC\r\nPath=C:\\Donn\xE9"
                       "es\\\r\nN= 12 \r\nJunk=12abc\r\n");
    core::IniFile ini;
    ASSERT_TRUE(ini.load(path));
    EXPECT_EQ(ini.value(QStringLiteral("DataBase"), QStringLiteral("Provider")), QStringLiteral("ODBC"));
    EXPECT_EQ(ini.value(QStringLiteral("DATABASE"), QStringLiteral("path")), QStringLiteral("C:\\Données\\"));
    EXPECT_EQ(ini.intValue(QStringLiteral("database"), QStringLiteral("N"), -1), 12);
    EXPECT_EQ(ini.intValue(QStringLiteral("database"), QStringLiteral("Junk"), -1), -1);
    EXPECT_EQ(ini.value(QStringLiteral("Other"), QStringLiteral("Provider"), QStringLiteral("def")),
              QStringLiteral("def"));
}

TEST(Settings, MissingFileGivesDefaults)
{
    Sandbox sandbox(false);
    EXPECT_EQ(core::LoadSettings(sandbox.root() + QStringLiteral("none.ini")), core::Settings{});
}

TEST(Settings, JunkMissingKeysAndWrongCaseFallBackOrReadAsIntended)
{
    Sandbox sandbox(false);
    const QString path = sandbox.root() + QStringLiteral("planning.ini");
    Sandbox::writeFile(path,
                       "[properties]\nsplash=0\nSortId=abc\nTestMdac=7\n[WINDOWS]\nLeft=12\nWidth=\nState=wsMaximized\n"
                       "garbage line without equals\n[Scan]\nMaxWidth=-\nJpegQuality=80\n");
    const core::Settings s = core::LoadSettings(path);
    EXPECT_FALSE(s.splash);
    EXPECT_TRUE(s.testMdac);  // any non-zero integer is true
    EXPECT_EQ(s.sortId, 0);
    EXPECT_EQ(s.left, 12);
    EXPECT_EQ(s.width, -1);
    EXPECT_EQ(s.state, QStringLiteral("wsMaximized"));
    EXPECT_EQ(s.maxWidth, 5000);
    EXPECT_EQ(s.jpegQuality, 80);
    EXPECT_TRUE(s.firstLaunch);
}

TEST(Settings, RoundTripWritesSixteenKeysInOrderWithCrLf)
{
    Sandbox sandbox(false);
    const QString path = sandbox.root() + QStringLiteral("planning.ini");
    Sandbox::writeFile(path, "[Other]\r\nKeep=1\r\n[Windows]\r\nHeight=5\r\nLeft=3\r\n");
    core::Settings s;
    s.firstLaunch = false;
    s.hideBigFontMsg = true;
    s.sortId = 3;
    s.left = 10;
    s.top = 20;
    s.width = 800;
    s.height = 600;
    s.state = QStringLiteral("wsNormal");
    s.twainSource = QStringLiteral("Scanner à plat");
    s.maxWidth = 1200;
    s.jpegQuality = 75;
    ASSERT_TRUE(core::SaveSettings(path, s));
    EXPECT_EQ(core::LoadSettings(path), s);
    const QByteArray expected =
        "[Properties]\r\nFirstLaunch=0\r\nTestMdac=0\r\nSplash=1\r\nHideBigFontMsg=1\r\nShowCalendar=0\r\nSortId=3\r\n"
        "\r\n[Windows]\r\nLeft=10\r\nTop=20\r\nWidth=800\r\nHeight=600\r\nState=wsNormal\r\nStyle=0\r\n"
        "\r\n[Scan]\r\nTwainSource=Scanner \xE0 plat\r\nShowTwainUI=0\r\nMaxWidth=1200\r\nJpegQuality=75\r\n";
    EXPECT_EQ(QString::fromLatin1(Sandbox::readFile(path)).toStdString(), QString::fromLatin1(expected).toStdString());
}
