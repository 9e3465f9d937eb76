#pragma once

#include <QString>

// Finds the serial port of a USB adapter by its product string: the tty whose
// USB device (the nearest parent in sysfs with a "product" file) reports
// exactly the given description. The roots are parameters so tests can build a
// fake tree; a match gives "<devRoot>/<tty name>", no match an empty text.
QString FindPortByDescription(const QString &description,
                              const QString &sysfsRoot = QStringLiteral("/sys"),
                              const QString &devRoot = QStringLiteral("/dev"));
