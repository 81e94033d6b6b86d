# How the programs of a cross build start: by the machine itself where it can (an x86-64 kernel
# with 32-bit support, a processor registered with binfmt_misc), otherwise under the emulator
# the toolchain file names. Decided by starting a small program built for the target, since a
# machine's name says nothing of what its kernel was built or booted with.
#
# Sets ORBALUNE_EMULATOR to the words that start a program of this build (empty where the
# machine starts it itself), and CMAKE_CROSSCOMPILING_EMULATOR to match, which CTest uses for the
# test program and its discovery.
option(ORBALUNE_ALWAYS_EMULATE
       "Start a cross build's programs under its emulator even where the machine could itself" OFF)
set(ORBALUNE_EMULATOR "")
if(CMAKE_CROSSCOMPILING)
  set(probe_dir ${CMAKE_BINARY_DIR}/program-runner)
  file(WRITE ${probe_dir}/probe.cpp "int main() { return 0; }\n")
  try_compile(probe_built ${probe_dir}/build SOURCES ${probe_dir}/probe.cpp
              COPY_FILE ${probe_dir}/probe OUTPUT_VARIABLE probe_log)
  if(NOT probe_built)
    message(FATAL_ERROR "Cannot build a ${CMAKE_SYSTEM_PROCESSOR} program:\n${probe_log}")
  endif()
  execute_process(COMMAND ${probe_dir}/probe RESULT_VARIABLE starts_itself
                  OUTPUT_QUIET ERROR_QUIET)
  set(emulator ${CMAKE_CROSSCOMPILING_EMULATOR})
  if(starts_itself EQUAL 0 AND NOT ORBALUNE_ALWAYS_EMULATE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "")
    message(STATUS "This machine starts the ${CMAKE_SYSTEM_PROCESSOR} programs itself")
  else()
    set(started_by_emulator 1)
    if(emulator)
      execute_process(COMMAND ${emulator} ${probe_dir}/probe RESULT_VARIABLE started_by_emulator
                      OUTPUT_QUIET ERROR_QUIET)
    endif()
    if(NOT started_by_emulator EQUAL 0)
      if(ORBALUNE_BUILD_TESTS)
        message(FATAL_ERROR "This machine cannot start ${CMAKE_SYSTEM_PROCESSOR} programs, "
                            "itself or under '${emulator}' (Debian's qemu-user has it), which "
                            "the tests need (-DORBALUNE_BUILD_TESTS=OFF builds the programs alone)")
      endif()
      # A packager's cross build for a board this machine cannot run: nothing here runs them.
      set(CMAKE_CROSSCOMPILING_EMULATOR "")
      message(STATUS "This machine cannot start ${CMAKE_SYSTEM_PROCESSOR} programs: it builds "
                     "them, without tests, and runs none")
    else()
      set(ORBALUNE_EMULATOR ${emulator})
      list(JOIN emulator " " emulator_line)
      if(starts_itself EQUAL 0)
        set(why "ORBALUNE_ALWAYS_EMULATE is on")
      else()
        set(why "this machine cannot start them itself")
      endif()
      message(STATUS "The ${CMAKE_SYSTEM_PROCESSOR} programs run under '${emulator_line}' (${why})")
    endif()
  endif()
endif()

# Sets `out` to the path that starts `target`: the program itself, or a launcher beside the
# build that starts it under ORBALUNE_EMULATOR, for tests that run it as a process.
function(orbalune_program_path target out)
  if(NOT ORBALUNE_EMULATOR)
    set(${out} $<TARGET_FILE:${target}> PARENT_SCOPE)
    return()
  endif()
  list(JOIN ORBALUNE_EMULATOR " " words)
  set(launcher ${CMAKE_BINARY_DIR}/launchers/${target})
  file(GENERATE OUTPUT ${launcher}
       CONTENT "#!/bin/sh\nexec ${words} '$<TARGET_FILE:${target}>' \"$@\"\n"
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                        WORLD_READ WORLD_EXECUTE)
  set(${out} ${launcher} PARENT_SCOPE)
endfunction()
