#include "KelmCli.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelm"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    KelmCli cli(out, err);
    const int status = cli.Run(QCoreApplication::arguments());
    out.flush();
    err.flush();
    return status;
}
