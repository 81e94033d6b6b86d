# Reports the library's coverage from the counts the tests left in BUILD_DIR, then removes the
# counts, so that the next report counts only the tests run after it: gcov adds a run's counts
# to those already on disk. Fails below 95% of lines or 85% of branches. Branches the compiler
# adds for exceptions and unreachable paths are not the game's own decisions.
# usage: cmake -DGCOVR=... -DSOURCE_DIR=... -DBUILD_DIR=... -P CoverageReport.cmake
execute_process(
  COMMAND ${GCOVR} --root ${SOURCE_DIR} --filter ${SOURCE_DIR}/src/ --object-directory ${BUILD_DIR}
          --exclude-throw-branches --exclude-unreachable-branches --print-summary
          --txt ${BUILD_DIR}/coverage.txt --fail-under-line 95 --fail-under-branch 85
  RESULT_VARIABLE failed)
file(GLOB_RECURSE counts ${BUILD_DIR}/*.gcda)
if(counts)
  file(REMOVE ${counts})
endif()
if(failed)
  message(FATAL_ERROR "coverage below 95% of lines or 85% of branches, or no tests run since "
                      "the last report (see above)")
endif()
