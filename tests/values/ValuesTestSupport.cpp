#include "ValuesTestSupport.h"

#include "TestSupport.h"

IniFixture::IniFixture(const QByteArray &contents)
{
    path = dir.filePath(QStringLiteral("Values.ini"));
    TestSupport::WriteAll(path, contents);
}
