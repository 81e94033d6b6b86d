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

// Readies the standard streams (see os::prepareStandardStreams), or ends the program as one
// whose output failed when they cannot be.
void prepareStandardStreams();

}  // namespace orbalune
