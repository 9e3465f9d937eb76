#pragma once

// The program's version constants (the original kept them in a version resource).
namespace KelmVersion {
inline constexpr const char *FileDescription = "KELM Programmer";
inline constexpr const char *FileVersion = "1.3.0.173";
inline constexpr const char *Comments = "Configures the KELM door alarm transmitter through the QEV USB interface.";
}
