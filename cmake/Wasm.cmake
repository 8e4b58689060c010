# The WebAssembly build, configured with emcmake: the Qt-free core targets (defined where the
# desktop defines them), their unit tests run under node, the frame benchmark, and the module
# the browser face bundles (vaporia_core.js).
set(VAPORIA_QT OFF)
set(VAPORIA_GUI OFF)
add_compile_options(-Wall -Wextra)

add_subdirectory(src/core)
add_subdirectory(src/web)

# Small code loads and compiles sooner in the page; only the frame's path (the field, its
# pixels and the pace) keeps the optimisation for speed.
foreach(t vaporia_i18n vaporia_model vaporia_graph_map vaporia_simulation vaporia_scenario_record
          vaporia_settings_record vaporia_settings_text vaporia_settings_import vaporia_zoom vaporia_app vaporia_webapi)
  get_target_property(type ${t} TYPE)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    target_compile_options(${t} PRIVATE -Os)
  endif()
endforeach()

# Node 20 fetches a separate .wasm by URL and fails, so everything is one file.
set(vaporia_wasm_link -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1)

# The module: MODULARIZE'd, every function of the C interface exported, no file system.
file(READ ${PROJECT_SOURCE_DIR}/src/web/vaporia_api.h api_header)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/web/vaporia_api.h)
string(REGEX MATCHALL "[a-z_0-9*]+ (vaporia_[a-z_0-9]+)\\(" api_decls "${api_header}")
set(api_exports "")
foreach(decl ${api_decls})
  string(REGEX REPLACE ".* (vaporia_[a-z_0-9]+)\\(" "_\\1" name "${decl}")
  list(APPEND api_exports "'${name}'")
endforeach()
list(REMOVE_DUPLICATES api_exports)
list(JOIN api_exports "," api_exports)
add_executable(vaporia_core src/web/module.cpp)
target_link_libraries(vaporia_core PRIVATE vaporia_webapi)
target_compile_options(vaporia_core PRIVATE -O3)
target_link_options(vaporia_core PRIVATE -O3 ${vaporia_wasm_link} --no-entry
  -sMODULARIZE=1 -sEXPORT_NAME=createVaporiaCore -sENVIRONMENT=web,worker,node
  -sFILESYSTEM=0 -sINITIAL_MEMORY=16777216
  "-sEXPORTED_FUNCTIONS=[${api_exports}]"
  "-sEXPORTED_RUNTIME_METHODS=['ccall','cwrap','UTF8ToString','stringToUTF8','lengthBytesUTF8']")
set_target_properties(vaporia_core PROPERTIES OUTPUT_NAME vaporia_core SUFFIX .js
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The frame as the tick does it, for the wasm-against-native benchmark (bench/wasm_frame.sh).
add_executable(bench_frame_core bench/bench_frame_core.cpp)
target_link_libraries(bench_frame_core PRIVATE vaporia_render vaporia_pace vaporia_field)
target_compile_options(bench_frame_core PRIVATE -O3)
target_link_options(bench_frame_core PRIVATE -O3 ${vaporia_wasm_link} -sENVIRONMENT=node)
set_target_properties(bench_frame_core PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

if(VAPORIA_TESTS)
  enable_testing()
  # GoogleTest from Debian's sources, built for wasm; without threads, which node lacks here.
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  # The same test sources as the desktop's, those that need no Qt; run by node.
  function(vaporia_add_wasm_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_options(${name} PRIVATE ${vaporia_wasm_link} -sENVIRONMENT=node)
    add_test(NAME ${name} COMMAND node ${CMAKE_CURRENT_BINARY_DIR}/${name}.js)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600 LABELS wasm)
  endfunction()
  set(t ${PROJECT_SOURCE_DIR}/tests)
  vaporia_add_wasm_test(wasm_test_model SOURCES ${t}/core/model/test_NumText.cpp ${t}/core/model/test_mdlData.cpp LIBS vaporia_model)
  vaporia_add_wasm_test(wasm_test_mdlGrph SOURCES ${t}/core/graph/test_mdlGrph.cpp LIBS vaporia_graph_map)
  vaporia_add_wasm_test(wasm_test_main SOURCES ${t}/core/app/test_Simulation.cpp ${t}/core/field/test_mdlSprite.cpp
                        ${t}/core/app/test_FramePace.cpp LIBS vaporia_simulation vaporia_field vaporia_pace vaporia_settings_text)
  vaporia_add_wasm_test(wasm_test_settings_text SOURCES ${t}/core/settings/test_ProfileFile.cpp ${t}/core/settings/test_ConfigImport.cpp
                        LIBS vaporia_settings_import)
  vaporia_add_wasm_test(wasm_test_scenario_record SOURCES ${t}/core/scenario/test_Cp932Text.cpp ${t}/core/scenario/test_SinarioRecord.cpp
                        ${t}/core/scenario/test_SinarioEdit.cpp LIBS vaporia_scenario_record)
  vaporia_add_wasm_test(wasm_test_zoom SOURCES ${t}/core/view/test_Zoom.cpp ${t}/core/render/test_FieldPicture.cpp ${t}/core/render/test_GraphRaster.cpp LIBS vaporia_zoom vaporia_render)
  vaporia_add_wasm_test(wasm_test_webapi SOURCES ${t}/web/test_webapi.cpp LIBS vaporia_webapi)

  # The replayed session, against the native build's golden list; its lessons compiled in.
  set(replay_lessons_inc ${CMAKE_CURRENT_BINARY_DIR}/tests/replay_lessons.inc)
  vaporia_embed_lessons(${replay_lessons_inc})
  vaporia_add_wasm_test(wasm_test_replay SOURCES ${t}/core/app/test_replay.cpp ${t}/core/app/test_Program.cpp ${replay_lessons_inc} LIBS vaporia_app)
  target_include_directories(wasm_test_replay PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/tests)
  vaporia_add_wasm_test(wasm_test_i18n SOURCES ${t}/core/i18n/test_Catalogue.cpp ${replay_lessons_inc}
                        LIBS vaporia_i18n vaporia_scenario_record)
  target_include_directories(wasm_test_i18n PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/tests)
endif()
