# The web build, with Emscripten: a static site of the game in a page (ORBALUNE_SITE_DIR:
# index.html, the page's scripts and stylesheet, the game's module and the terminal emulator),
# and orbalune-replay.js, the replay tool for Node.js, with the bot that checks it.
set(ORBALUNE_SITE_DIR ${CMAKE_BINARY_DIR}/site CACHE PATH "Where the web build puts the site")
set(web_sources ${PROJECT_SOURCE_DIR}/web)

# The terminal emulator and its addon that fits it to the page, from the npm registry at the
# versions web/package-lock.json pins.
set(xterm ${web_sources}/node_modules/@xterm/xterm)
set(xterm_fit ${web_sources}/node_modules/@xterm/addon-fit)
if(NOT EXISTS ${xterm}/lib/xterm.mjs OR NOT EXISTS ${xterm_fit}/lib/addon-fit.mjs)
  find_program(NPM npm REQUIRED)
  message(STATUS "Installing the page's terminal emulator (npm ci --prefix web)")
  execute_process(COMMAND ${NPM} ci --prefix ${web_sources} --no-audit --no-fund --silent
                  RESULT_VARIABLE npm_failed)
  if(npm_failed)
    message(FATAL_ERROR "npm ci --prefix web failed: the page needs @xterm/xterm and @xterm/addon-fit")
  endif()
endif()

# The game's module for the page: it waits for keys, for the page's storage and through a
# fight's pauses by handing the page back to the browser (Asyncify).
add_executable(orbalune-page app/browser_main.cpp)
target_link_libraries(orbalune-page PRIVATE orbalune_platform_page orbalune_warnings)
target_link_options(orbalune-page PRIVATE
  -fexceptions -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1
  -sMODULARIZE=1 -sEXPORT_ES6=1 -sEXPORT_NAME=createOrbalune -sENVIRONMENT=web,worker
  "-sEXPORTED_FUNCTIONS=[_orbalune_run,_orbalune_header,_malloc,_free]"
  "-sEXPORTED_RUNTIME_METHODS=[FS,ccall,UTF8ToString,stringToUTF8,lengthBytesUTF8]")
set_target_properties(orbalune-page PROPERTIES OUTPUT_NAME orbalune
                      RUNTIME_OUTPUT_DIRECTORY ${ORBALUNE_SITE_DIR})

# The page's reader of saved games, for the board's records and a long game's snapshot: it never
# waits, so it needs no Asyncify, and raises WebAssembly's own exceptions, as the replay tool for
# Node.js does.
add_executable(orbalune-reader app/reader_main.cpp)
target_link_libraries(orbalune-reader PRIVATE orbalune_platform_node orbalune_warnings)
target_link_options(orbalune-reader PRIVATE
  -fwasm-exceptions -sALLOW_MEMORY_GROWTH=1
  -sMODULARIZE=1 -sEXPORT_ES6=1 -sEXPORT_NAME=createReader -sENVIRONMENT=web,worker
  "-sEXPORTED_FUNCTIONS=[_orbalune_record,_orbalune_snapshot_at_end,_malloc,_free]"
  "-sEXPORTED_RUNTIME_METHODS=[FS,ccall,UTF8ToString,stringToUTF8,lengthBytesUTF8,HEAP32,HEAPU8]")
set_target_properties(orbalune-reader PROPERTIES OUTPUT_NAME orbalune_reader
                      RUNTIME_OUTPUT_DIRECTORY ${ORBALUNE_SITE_DIR})

# The rest of the site, copied as it is.
set(site_files index.html style.css page.js game_thread.js game_worker.js record_worker.js session.js storage.js board.js follow.js choices.js
               games_list.js keyboard_input.js terminal_fit.js offline.js manifest.webmanifest icon.svg icon-192.png icon-512.png)
set(site_outputs)
foreach(file ${site_files})
  add_custom_command(OUTPUT ${ORBALUNE_SITE_DIR}/${file}
                     COMMAND ${CMAKE_COMMAND} -E copy ${web_sources}/${file} ${ORBALUNE_SITE_DIR}/
                     DEPENDS ${web_sources}/${file})
  list(APPEND site_outputs ${ORBALUNE_SITE_DIR}/${file})
endforeach()
foreach(file lib/xterm.mjs css/xterm.css LICENSE)
  get_filename_component(name ${file} NAME)
  if(name STREQUAL "LICENSE")
    set(name xterm-LICENSE.txt)
  endif()
  add_custom_command(OUTPUT ${ORBALUNE_SITE_DIR}/${name}
                     COMMAND ${CMAKE_COMMAND} -E copy ${xterm}/${file}
                             ${ORBALUNE_SITE_DIR}/${name}
                     DEPENDS ${xterm}/${file})
  list(APPEND site_outputs ${ORBALUNE_SITE_DIR}/${name})
endforeach()
add_custom_command(OUTPUT ${ORBALUNE_SITE_DIR}/addon-fit.mjs
                   COMMAND ${CMAKE_COMMAND} -E copy ${xterm_fit}/lib/addon-fit.mjs
                           ${ORBALUNE_SITE_DIR}/
                   DEPENDS ${xterm_fit}/lib/addon-fit.mjs)
list(APPEND site_outputs ${ORBALUNE_SITE_DIR}/addon-fit.mjs)
# The service worker keeps every file of the site for offline play: the list is this one.
set(kept_files ${site_files} xterm.mjs xterm.css addon-fit.mjs orbalune.js orbalune.wasm
               orbalune_reader.js orbalune_reader.wasm)
list(TRANSFORM kept_files REPLACE "(.+)" "'\\1'")
list(JOIN kept_files ", " SITE_FILES)
configure_file(${web_sources}/service_worker.js.in ${ORBALUNE_SITE_DIR}/service_worker.js @ONLY)

add_custom_target(site ALL DEPENDS ${site_outputs} orbalune-page orbalune-reader)

# The replay tool for Node.js, which keeps the native tool's contract with plain `node`: its
# WebAssembly inside the script (Node.js cannot fetch a file by its path), real files.
set(node_options -fwasm-exceptions -sSINGLE_FILE=1 -sENVIRONMENT=node -sNODERAWFS=1
                 -sALLOW_MEMORY_GROWTH=1)
add_executable(orbalune-replay-node app/replay_main.cpp)
target_link_libraries(orbalune-replay-node PRIVATE orbalune_platform_node orbalune_warnings)
target_link_options(orbalune-replay-node PRIVATE ${node_options})
set_target_properties(orbalune-replay-node PROPERTIES OUTPUT_NAME orbalune-replay)

# The test bot, for the same games in Node.js as in every other build.
add_executable(orbalune-bot-keys-node tests/tools/bot_keys.cpp tests/support/bot.cpp)
target_link_libraries(orbalune-bot-keys-node PRIVATE orbalune_core_node orbalune_warnings)
target_include_directories(orbalune-bot-keys-node PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_options(orbalune-bot-keys-node PRIVATE ${node_options})
set_target_properties(orbalune-bot-keys-node PROPERTIES OUTPUT_NAME orbalune-bot-keys)

enable_testing()
add_test(NAME WebReplay.PlaysTheRecordedGamesByteForByte
         COMMAND bash ${PROJECT_SOURCE_DIR}/tests/web/node_replay_test.sh
                 $<TARGET_FILE:orbalune-replay-node> $<TARGET_FILE:orbalune-bot-keys-node>
                 ${PROJECT_SOURCE_DIR}/tests/data)
