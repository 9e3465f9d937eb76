#include "Demo.h"

#include "DataSetup.h"
#include "KelmData.h"
#include "KelmLink.h"
#include "SimServer.h"

#include <QDir>

namespace {

void SetIfZero(ImageBuffer &image, int address, quint8 value)
{
    if (image[address] == 0)
        image[address] = value;
}

} // namespace

DemoUnit::DemoUnit() = default;
DemoUnit::~DemoUnit() = default;

QByteArray DemoUnit::InitialMemory(const QString &programFolder)
{
    ImageBuffer image{};
    if (!KelmData::ReadConfigFile(QDir(programFolder).filePath(QLatin1String(DataSetup::DefaultSource)), image)) {
        const QByteArray fallback = SimOptions::DefaultMemory();
        std::copy(fallback.begin(), fallback.end(), image.begin());
    }
    image[Addr::ProductType] = KelmProductType;
    image[Addr::ProgramVersionMajor] = 2;
    image[Addr::ProgramVersionMinor] = 8;
    SetIfZero(image, Addr::ProgramVersionBuild, 1);
    // Production date 2024-05-14, in BCD.
    SetIfZero(image, Addr::ProductionCentury, 0x20);
    SetIfZero(image, Addr::ProductionYear, 0x24);
    SetIfZero(image, Addr::ProductionMonth, 0x05);
    SetIfZero(image, Addr::ProductionDay, 0x14);
    if (KelmData::SerialNumber(image) == 0) {
        image[Addr::SerialNumber] = 0x01;
        image[Addr::SerialNumber + 1] = 0x86;
        image[Addr::SerialNumber + 2] = 0xA1;
    }
    const quint8 codes[] = {0x1A, 0x01, 0x1A, 0x02, 0x1A, 0x03, 0x1A, 0x04, 0x1A, 0x05};
    std::copy(std::begin(codes), std::end(codes), image.begin() + Addr::DoorClosedRadioCode);
    image[Addr::Crc] = KelmData::ImageCrc(image);
    return QByteArray(reinterpret_cast<const char *>(image.data()), ImageSize);
}

bool DemoUnit::Start(const QString &programFolder, QString *error)
{
    SimOptions options;
    options.memory = InitialMemory(programFolder);
    options.qevVersion = "QEV-DEMO1.0";
    options.pace = true; // as long as a real line takes
    auto server = std::make_unique<SimServer>(std::move(options));
    if (!server->Open(error))
        return false;
    server->Start();
    m_server = std::move(server);
    KelmLink::SetDefaultPortName(m_server->DevicePath());
    return true;
}

QString DemoUnit::DevicePath() const
{
    return m_server ? m_server->DevicePath() : QString();
}
