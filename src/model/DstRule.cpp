#include "DstRule.h"

bool ParseDstRule(const QString &, DstRule &rule)
{
    rule = DstRule();
    return false;
}

bool ReadDstRule(const KelmIni &, int, DstRule &rule)
{
    rule = DstRule();
    return false;
}

int RuleDayOfYear(int, int, int, int)
{
    return 0;
}

void FillDstBlock(std::span<quint8>, const KelmIni &, const CodeList &, int, int)
{
}

QString DescribeDstRule(const KelmIni &, const CodeList &, int, int, const QLocale &)
{
    return QString();
}
