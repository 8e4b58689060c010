# vaporia_add_test(name SOURCES a.cpp ... LIBS lib ... [WIDGETS])
# One GoogleTest executable; WIDGETS gives it a QApplication on the offscreen platform.
function(vaporia_add_test name)
  cmake_parse_arguments(T "WIDGETS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_WIDGETS)
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/widget_main.cpp)
    target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Widgets GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

# vaporia_add_fuzzer(name SOURCES harness.cpp LIBS lib ... CORPUS dir [SECONDS n] [MAX_LEN bytes])
# Built only with VAPORIA_FUZZ (clang); ctest runs it for a bounded time over its seed corpus.
function(vaporia_add_fuzzer name)
  cmake_parse_arguments(F "" "CORPUS;SECONDS;MAX_LEN" "SOURCES;LIBS" ${ARGN})
  if(NOT VAPORIA_FUZZ)
    return()
  endif()
  if(NOT F_SECONDS)
    set(F_SECONDS 20)
  endif()
  add_executable(${name} ${F_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  set(max_len "")
  if(F_MAX_LEN)
    set(max_len "-max_len=${F_MAX_LEN}")
  endif()
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
            sh -c "rm -rf '${work}' && mkdir -p '${work}' && exec \"$0\" ${max_len} -max_total_time=${F_SECONDS} -rss_limit_mb=2048 -artifact_prefix='${CMAKE_CURRENT_BINARY_DIR}/' '${work}' '${F_CORPUS}'"
            $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS fuzz)
endfunction()
