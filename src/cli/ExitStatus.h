#pragma once

// The exit statuses of kelm, one per kind of failure. Scripts rely on the
// numbers: keep them.
namespace ExitStatus {
inline constexpr int Ok = 0;
inline constexpr int Differences = 1;      // diff: the files differ
inline constexpr int Usage = 2;            // bad command line or argument
inline constexpr int FileError = 3;        // a file could not be read or written
inline constexpr int InvalidConfiguration = 4; // a value the window refuses, or a wrong CRC
inline constexpr int NoQev = 5;            // the QEV was not found or did not answer
inline constexpr int PortDenied = 6;       // the QEV's port exists but may not be opened
inline constexpr int NoUnit = 7;           // the unit did not answer, or a read failed
inline constexpr int WrongProductType = 8; // the unit is not a KELM
inline constexpr int WriteFailed = 9;      // the unit refused a write
inline constexpr int VerifyFailed = 10;    // the read-back differs from what was written
inline constexpr int NotSupported = 11;    // the unit's program is too old for the configuration
inline constexpr int BackupFailed = 12;    // the backup before a write could not be saved

// The lines of `kelm --help` that explain the statuses.
inline constexpr const char *HelpText =
    "Exit status:\n"
    "  0  success\n"
    "  1  diff: the files differ\n"
    "  2  bad command line or argument\n"
    "  3  a file could not be read or written\n"
    "  4  the configuration holds a value the window refuses, or its CRC is wrong\n"
    "  5  no contact with the QEV\n"
    "  6  the QEV's port may not be opened (permission denied)\n"
    "  7  no contact with the KELM, or a read failed\n"
    "  8  the connected unit is not a KELM\n"
    "  9  the KELM refused a write\n"
    " 10  verification failed: the KELM holds other bytes than were written\n"
    " 11  the KELM's program is too old for the configuration (time schedule)\n"
    " 12  the backup before a write could not be saved\n";
}
