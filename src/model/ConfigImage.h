#pragma once

#include <QtGlobal>

#include <array>

// The KELM unit's 256-byte configuration memory. Every address is the same in
// the unit, in configuration files and in the editor. Values wider than one
// byte are big-endian (high byte at the lower address).

inline constexpr int ImageSize = 256;
// Each image buffer holds 2048 bytes: the image, then the filler of the long
// file form.
inline constexpr int BufferSize = 2048;
using ImageBuffer = std::array<quint8, BufferSize>;

// Byte 248 of every KELM configuration.
inline constexpr quint8 KelmProductType = 7;

// Where the edited configuration came from (KelmData::ConfigOrigin).
inline constexpr int OriginNew = 0;
inline constexpr int OriginOpened = 1;
inline constexpr int OriginSaved = 2;
inline constexpr int OriginReadFromUnit = 3;
inline constexpr int OriginWrittenToUnit = 4;

namespace Addr {
inline constexpr int EquipmentType = 0;
inline constexpr int DoorClosedRadioCode = 4;
inline constexpr int DoorOpenedRadioCode = 6;
inline constexpr int InputClosedRadioCode = 8;
inline constexpr int InputOpenedRadioCode = 10;
inline constexpr int TechnicalRadioCode = 12;
inline constexpr int DoorClosedSendAlarm = 18;
inline constexpr int DoorOpenedSendAlarm = 19;
inline constexpr int InputClosedSendAlarm = 20;
inline constexpr int InputOpenedSendAlarm = 21;
inline constexpr int DoorClosedAlarmType = 34;
inline constexpr int DoorOpenedAlarmType = 35;
inline constexpr int InputClosedAlarmType = 36;
inline constexpr int InputOpenedAlarmType = 37;
inline constexpr int OutPassageDelay = 48;
inline constexpr int InPassageDelay = 49;
inline constexpr int AutoResetTime = 50;
inline constexpr int PeekFunctionEnabled = 52;
inline constexpr int DoorMatSensorType = 53;
inline constexpr int MaxTimeOutsideDoor = 54;
inline constexpr int RadioTestAlarmPeriod = 64;
inline constexpr int BatteryAlarmPeriod = 65;
inline constexpr int BatteryLowLimit = 66;
inline constexpr int NumberOfShortTransmissions = 80;
inline constexpr int NumberOfLongTransmissions = 81;
inline constexpr int TimeScheduleEnabled = 91;
inline constexpr int ActivationHour = 92;
inline constexpr int ActivationMinute = 93;
inline constexpr int InactivationHour = 94;
inline constexpr int InactivationMinute = 95;
inline constexpr int IgnorePowerSwitch = 96;
inline constexpr int DaylightSavingRegion = 105;
inline constexpr int DstAdjustMinutes = 106;
inline constexpr int DstStartHour = 107;
inline constexpr int DstStartMinute = 108;
inline constexpr int DstStopHour = 109;
inline constexpr int DstStopMinute = 110;
inline constexpr int DstFirstYear = 111;
inline constexpr int DstStartDays = 112; // 16 day numbers, 16-bit each
inline constexpr int DstStopDays = 144;  // 16 day numbers, 16-bit each
inline constexpr int Crc = 224;
inline constexpr int ClockYear = 231;
inline constexpr int ClockDayOfYear = 232; // 16-bit, day 0 = 1 January
inline constexpr int ClockHour = 234;
inline constexpr int ClockMinute = 235;
inline constexpr int ClockSecond = 236;
inline constexpr int ClockSet = 237;
inline constexpr int ProductionCentury = 240;
inline constexpr int ProductionYear = 241;
inline constexpr int ProductionMonth = 242;
inline constexpr int ProductionDay = 243;
inline constexpr int RadioCalibration = 247;
inline constexpr int ProductType = 248;
inline constexpr int ProgramVersionMajor = 249;
inline constexpr int ProgramVersionMinor = 250;
inline constexpr int ProgramVersionBuild = 251;
inline constexpr int SerialNumber = 253; // 24-bit

// Address ranges that commands handle as a whole.
inline constexpr int DstBlockFirst = 106;
inline constexpr int DstBlockLast = 175;
inline constexpr int DstYearCount = 16;
inline constexpr int ClockStampFirst = 231;
inline constexpr int ClockStampLast = 237;
inline constexpr int FactoryAreaFirst = 240;
inline constexpr int FactoryAreaLast = 255;
// The CRC covers 0..CrcCoveredLast and FactoryAreaFirst..255.
inline constexpr int CrcCoveredLast = 223;
}

// Units with program version 1.x keep the door's send-alarm flags and alarm
// types at other places, and copies of the two door radio codes at 0..3.
namespace AddrVersion1 {
inline constexpr quint8 MajorByte = 1;
inline constexpr int DoorClosedSendAlarm = 16;
inline constexpr int DoorOpenedSendAlarm = 17;
inline constexpr int DoorClosedAlarmType = 32;
inline constexpr int DoorOpenedAlarmType = 33;
inline constexpr int DoorClosedRadioCodeCopy = 0;
inline constexpr int DoorOpenedRadioCodeCopy = 2;
}

// Program version numbers (256 x major + minor) that enable features.
inline constexpr int VersionTimeSchedule = 519; // 2.7
inline constexpr int VersionEquipmentType = 520; // 2.8
