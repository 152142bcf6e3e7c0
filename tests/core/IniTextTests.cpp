#include "core/IniFile.h"
#include "core/Settings.h"

#include "../support/Sandbox.h"

#include <gtest/gtest.h>

using testing_support::Sandbox;

// Hand-edited files: a UTF-8 byte-order mark keeps the first section, and
// spaces around a value do not make it unreadable.
TEST(IniFile, ByteOrderMarkAndSpacesAroundValues)
{
    Sandbox sandbox(false);
    const QString path = sandbox.root() + QStringLiteral("planning.ini");
    const struct {
        QByteArray text;
        int height;
        int left;
        const char* source;
    } cases[] = {
        {"\xEF\xBB\xBF[Windows]\r\nHeight= 12 \r\nLeft=\t7\t\r\n[Scan]\r\nTwainSource=Scanner \xC3\xA0 plat\r\n", 12, 7,
         "Scanner à plat"},
        {"[Windows]\r\nHeight= 12 \r\nLeft= 7\r\n[Scan]\r\nTwainSource=Scanner \xE0 plat\r\n", 12, 7, "Scanner à plat"},
        {"\xEF\xBB\xBF[Windows]\nHeight=12\n", 12, -1, ""},
    };
    for (const auto& c : cases) {
        Sandbox::writeFile(path, c.text);
        const core::Settings s = core::LoadSettings(path);
        EXPECT_EQ(s.height, c.height) << c.text.constData();
        EXPECT_EQ(s.left, c.left) << c.text.constData();
        EXPECT_EQ(s.twainSource, QString::fromUtf8(c.source)) << c.text.constData();
    }
}
