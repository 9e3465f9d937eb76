#pragma once

#include "ConfigImage.h"
#include "DeviceReporter.h"
#include "SimOptions.h"

#include <QByteArray>
#include <QHash>

#include <optional>

// What a command should do to the unit, worked out from the protocol's rules
// alone: each exchange the command makes meets the one fault of the simulated
// line or not, tries three times per block, and writes land in the model's
// memory only when acknowledged. The soak compares the real command with it.

// The injected misbehaviour: one simulator fault, or no QEV at all.
struct SoakFault {
    std::optional<SimFault> sim;
    bool noQev = false;
};

class LineModel {
public:
    LineModel(const QByteArray &memory, const SoakFault &fault) : m_memory(memory), m_fault(fault) {}

    bool Open() const { return !m_fault.noQev; }
    bool Presence();
    // Both transfer a range block by block, every block attempted; true when all went through.
    bool ReadRange(ImageBuffer &image, int first, int last);
    bool WriteRange(const ImageBuffer &image, int first, int last);

    QByteArray Memory() const { return m_memory; }
    // Roughly how long the line makes the command wait, in milliseconds.
    int CostMs() const { return m_costMs; }

private:
    bool Frame(); // false once the simulator has hung up
    bool ReadBlock(ImageBuffer &image, int address, int length);
    bool WriteBlock(const ImageBuffer &image, int address, int length);
    bool Is(SimFault::Kind kind) const { return m_fault.sim && m_fault.sim->kind == kind; }
    bool IsAt(SimFault::Kind kind, int address) const;

    QByteArray m_memory;
    SoakFault m_fault;
    int m_frames = 0;
    int m_costMs = 0;
    QHash<int, int> m_writeTries;
};

ImageBuffer ToImage(const QByteArray &memory);
QByteArray FromImage(const ImageBuffer &image);

// The expected end of one command.
struct Expected {
    int result = 0;
    QByteArray memory;          // the unit's memory afterwards
    ImageBuffer edited {};      // KelmData::EditedImage afterwards
    int origin = 0;             // KelmData::ConfigOrigin afterwards
    int costMs = 0;
};

// The device commands, step by step as the unit sees them. data* are the
// KelmData fields before the command.
Expected PredictRead(const QByteArray &unit, const SoakFault &fault, const ImageBuffer &edited, int origin);
Expected PredictWrite(const QByteArray &unit, const SoakFault &fault, const ImageBuffer &edited, int origin,
                      bool timeScheduleChecked);
// A saved image written back whole: its own bytes 0..13 and clock stamp, the
// unit's factory area; the time schedule is the image's own.
Expected PredictRestore(const QByteArray &unit, const SoakFault &fault, const ImageBuffer &edited, int origin);
Expected PredictRadioCodes(const QByteArray &unit, const SoakFault &fault, const ImageBuffer &edited, int origin,
                           bool accept, const RadioCodeTexts &newCodes);
