# Small helpers so each folder's CMakeLists.txt states only what it builds.

# project_test(NAME SOURCES... LIBS ...): a GoogleTest program registered with CTest.
function(project_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE PROJECT_DATA_DIR="${PROJECT_SOURCE_DIR}/data")
  # A test's own sources build at -O1 in a release build, which takes a quarter less time;
  # the code they test keeps the build's optimisation.
  target_compile_options(${name} PRIVATE $<$<CONFIG:Release>:-O1>)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()

# project_benchmark(NAME SOURCES... LIBS ...): built, never run as a test.
function(project_benchmark name)
  if(NOT BENCHMARKS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
endfunction()

# project_fuzzer(NAME SOURCES... LIBS ...): a libFuzzer target, only with FUZZ=ON.
function(project_fuzzer name)
  if(NOT FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()
