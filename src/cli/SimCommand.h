#pragma once

#include <QStringList>
#include <QTextStream>

// "kelm sim": the simulated QEV with a KELM unit, with kelm-sim's options.
// Serves until SIGTERM or SIGINT; returns the exit status.
int RunSimCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);
