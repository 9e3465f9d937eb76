// Times whole-image transfers against kelm-sim --pace and compares them with
// the time the bytes need on a 57600-baud 8N2 line (11 bits per byte).

#include "KelmLink.h"

#include <QCoreApplication>
#include <QProcess>

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

namespace {

constexpr double BitsPerByte = 11.0;
constexpr double BaudRate = 57600.0;

double CpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Bytes on the line for block transfers of first..last, both ways.
int WriteBytes(int first, int last)
{
    int bytes = 0;
    for (int address = first; address <= last; address += KelmLink::BlockSize) {
        const int length = std::min(KelmLink::BlockSize, last - address + 1);
        bytes += 4 + 7 + 2 * length + 1; // frame with data, then ACK
    }
    return bytes;
}

int ReadBytes(int first, int last)
{
    int bytes = 0;
    for (int address = first; address <= last; address += KelmLink::BlockSize) {
        const int length = std::min(KelmLink::BlockSize, last - address + 1);
        bytes += 4 + 7 + 4 + 2 * length; // command frame, then reply frame
    }
    return bytes;
}

struct Figures {
    double bestRatio = 1e9;
    double worstCpuShare = 0;
};

template <typename Transfer>
bool Measure(const char *name, int bytes, Figures &figures, Transfer transfer)
{
    const double cpuBefore = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = transfer();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds() - cpuBefore;
    const double wire = bytes * BitsPerByte / BaudRate;
    std::printf("%-28s %s  bytes %5d  wall %7.1f ms  wire %7.1f ms  ratio %.3f  cpu %5.2f %% of wall\n", name,
                ok ? "ok  " : "FAIL", bytes, wall * 1e3, wire * 1e3, wall / wire, 100.0 * cpu / wall);
    figures.bestRatio = std::min(figures.bestRatio, wall / wire);
    figures.worstCpuShare = std::max(figures.worstCpuShare, 100.0 * cpu / wall);
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_link PATH-TO-kelm-sim\n");
        return 2;
    }
    QProcess sim;
    sim.start(QString::fromLocal8Bit(argv[1]), { QStringLiteral("--pace") });
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "kelm-sim did not start\n");
        return 1;
    }
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();

    KelmLink link;
    link.SetPortName(device);
    if (link.OpenLink() != 0 || link.CheckPresence() != 0) {
        std::fprintf(stderr, "no link to kelm-sim on %s: %s\n", qPrintable(device), qPrintable(link.LastOpenError()));
        return 1;
    }

    std::array<quint8, 256> image {};
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = quint8(i * 13 + 5);
    std::array<quint8, 256> readBack {};
    bool ok = true;
    Figures read;
    Figures write;
    for (int round = 1; round <= 5; ++round) {
        std::printf("round %d\n", round);
        ok &= Measure("read image 0..255", ReadBytes(0, 255), read, [&] { return link.ReadImage(readBack) == 0; });
        ok &= Measure("write 14..224 + read back", WriteBytes(14, 224) + ReadBytes(14, 224), write, [&] {
            return link.WriteBlock(image, 14, 224) == 0 && link.ReadBlock(readBack, 14, 224) == 0
                && std::equal(image.begin() + 14, image.begin() + 225, readBack.begin() + 14);
        });
    }
    std::printf("read image:  best ratio %.3f, highest cpu %.2f %%\n", read.bestRatio, read.worstCpuShare);
    std::printf("write+read:  best ratio %.3f, highest cpu %.2f %%\n", write.bestRatio, write.worstCpuShare);
    std::printf("aim: ratio <= 1.10, cpu <= 5 %% of wall\n");
    link.CloseLink();
    sim.terminate();
    sim.waitForFinished(5000);
    return ok ? 0 : 1;
}
