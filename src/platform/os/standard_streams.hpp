#pragma once

// The program's standard input, output and error as the system hands them over: POSIX's
// descriptors 0, 1 and 2 (standard_streams_posix.cpp), or Windows' through the C library's
// (standard_streams_windows.cpp).
namespace orbalune::os {

// Their descriptors, the same on every system.
inline constexpr int kStandardInput = 0;
inline constexpr int kStandardOutput = 1;

// Readies the standard streams before the program opens anything. A closed one is opened on the
// null device for reading only, so that no file the program opens is taken for it (a saved game
// receiving the screen as keys): input then ends at once, and output fails as it would on a full
// disk, instead of vanishing unnoticed. A write past the file size limit (ulimit -f) fails with
// EFBIG, which the program reports, instead of killing it silently. Bytes pass unchanged: no
// line end is translated. False if a closed one could not be opened: the program must end.
[[nodiscard]] bool prepareStandardStreams();

// Whether `fd` is a terminal (on Windows, a console) rather than a file, a pipe or a device.
bool isTerminal(int fd);

}  // namespace orbalune::os
