#include "PtyPair.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PtyPair::~PtyPair()
{
    Close();
}

bool PtyPair::Open(QString *error)
{
    Close();
    auto fail = [&](const char *step) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QLatin1String(step), QString::fromLocal8Bit(std::strerror(errno)));
        Close();
        return false;
    };
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return fail("posix_openpt");
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        return fail("grantpt/unlockpt");
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0)
        return fail("ptsname");
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0)
        return fail("open slave");
    // Raw both ways: no echo of the link's bytes back to the master, no
    // translation of CR/LF or control characters.
    for (int fd : { m_slave, m_master }) {
        termios tio {};
        if (tcgetattr(fd, &tio) != 0)
            return fail("tcgetattr");
        cfmakeraw(&tio);
        if (tcsetattr(fd, TCSANOW, &tio) != 0)
            return fail("tcsetattr");
    }
    return true;
}

void PtyPair::Close()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = -1;
    m_master = -1;
}
