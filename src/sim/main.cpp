#include "SimOptions.h"
#include "SimProcess.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelm-sim"));

    QCommandLineParser parser;
    parser.addHelpOption();
    AddSimOptions(parser);
    parser.process(app);

    SimOptions options;
    QString error;
    if (!ReadSimOptions(parser, options, error)) {
        std::fprintf(stderr, "kelm-sim: %s\n", qPrintable(error));
        return 2;
    }
    return RunSimulator(std::move(options));
}
