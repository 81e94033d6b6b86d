#pragma once

#include <iosfwd>
#include <string_view>

namespace orbalune {

inline constexpr std::string_view kOutputFailure = "cannot write to standard output";

// Tells the user what went wrong, in one line: "PROGRAM: MESSAGE". Messages quote file names and
// headers from outside, so every byte a terminal would act on is shown in caret notation.
void reportError(std::ostream& err, std::string_view program, std::string_view message);

// Ends a program's output: flushes `out`, and if anything written to it was lost, says so and
// gives kExitWriteFailed instead of `status`.
int finishOutput(std::ostream& out, std::ostream& err, std::string_view program, int status);

// Makes sure descriptors 0, 1 and 2 are open before the program opens anything, so that no file
// it opens is taken for one of them (a saved game receiving the screen as keys). A closed one is
// opened on /dev/null for reading only: input then ends at once, and output fails as it would
// on a full disk, instead of vanishing unnoticed.
void openClosedStandardDescriptors();

// Lets a write past the file size limit (ulimit -f) fail with EFBIG, which the program reports,
// instead of killing it silently with SIGXFSZ (and a terminal in single-key mode with it).
void failWritesPastTheSizeLimit();

}  // namespace orbalune
