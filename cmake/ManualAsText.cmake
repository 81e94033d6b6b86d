# Formats the manual page PAGE as plain text into TEXT, with Windows' line ends: no bold or
# underline by overstriking, no hyphenation, 80 columns.
execute_process(COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 MAN_KEEP_FORMATTING=0
                        ${MAN} --no-hyphenation --no-justification -l -Tutf8 -P cat ${PAGE}
                OUTPUT_VARIABLE text RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "man could not format ${PAGE}: ${errors}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TEXT} "${text}")
