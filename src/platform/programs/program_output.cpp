#include "platform/programs/program_output.hpp"

#include <cstdlib>
#include <ostream>

#include "platform/os/standard_streams.hpp"
#include "platform/programs/exit_status.hpp"
#include "platform/terminal/shown_text.hpp"
#include "platform/terminal/terminal_locale.hpp"

namespace orbalune {

void reportError(std::ostream& err, std::string_view program, std::string_view message) {
    err << program << ": " << shownText(message, localeSpeaksUtf8()) << '\n' << std::flush;
}

int finishOutput(std::ostream& out, std::ostream& err, std::string_view program, int status) {
    out.flush();
    if (out.fail()) {
        reportError(err, program, kOutputFailure);
        return kExitWriteFailed;
    }
    return status;
}

void prepareStandardStreams() {
    if (!os::prepareStandardStreams()) {
        std::_Exit(kExitWriteFailed);
    }
}

}  // namespace orbalune
