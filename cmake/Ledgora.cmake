# Conventions shared by every folder of the project.
#
#   ledgora_module(NAME <folder> [DEPS <targets...>] [TEST_DEPS <targets...>])
#     One static library `ledgora_<folder>` from the folder's *.cpp files
#     (tests, fuzz targets and main.cpp excepted), the repository root on the
#     include path ("foundation/kdate.h"). The folder's *_test.cpp files build
#     into one test executable `<folder>_tests` registered with CTest.
#     Each *_fuzz.cpp becomes `fuzz_<stem>` when LEDGORA_FUZZ is on (clang).
#
#   ledgora_tests(NAME <folder> SOURCES ... DEPS ...)
#     The test executable alone, for folders whose library is special
#     (the shared libraries, the programs).

set(LEDGORA_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)
get_filename_component(LEDGORA_ROOT ${LEDGORA_ROOT} ABSOLUTE)

add_library(ledgora_options INTERFACE)
target_include_directories(ledgora_options INTERFACE ${LEDGORA_ROOT})
target_compile_options(ledgora_options INTERFACE -Wall -Wextra -Wpedantic)
if(LEDGORA_WERROR)
  target_compile_options(ledgora_options INTERFACE -Werror)
endif()
if(LEDGORA_SANITIZE)
  target_compile_options(ledgora_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(ledgora_options INTERFACE -fsanitize=address,undefined)
endif()
if(LEDGORA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "LEDGORA_FUZZ needs clang (CXX=clang++)")
  endif()
  target_compile_options(ledgora_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# Every test runs in a pinned environment: its own time zone and locale.
set(LEDGORA_TEST_ENV "TZ=Europe/Paris;LC_ALL=C;LANG=C;QT_QPA_PLATFORM=offscreen")

function(ledgora_tests)
  cmake_parse_arguments(T "" "NAME" "SOURCES;DEPS" ${ARGN})
  if(NOT T_SOURCES)
    return()
  endif()
  add_executable(${T_NAME}_tests ${T_SOURCES})
  target_link_libraries(${T_NAME}_tests PRIVATE ${T_DEPS} ledgora_options GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${T_NAME}_tests PRIVATE
    LEDGORA_SOURCE_DIR="${LEDGORA_ROOT}"
    LEDGORA_TESTDATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/testdata"
    LEDGORA_SHARED_TESTDATA_DIR="${LEDGORA_ROOT}/../shared/testdata"
    LEDGORA_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME}_tests)
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${LEDGORA_TEST_ENV}" TIMEOUT 900)
endfunction()

function(ledgora_fuzzers)
  cmake_parse_arguments(F "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT LEDGORA_FUZZ)
    return()
  endif()
  foreach(src ${F_SOURCES})
    get_filename_component(stem ${src} NAME_WE)
    string(REGEX REPLACE "_fuzz$" "" stem ${stem})
    add_executable(fuzz_${stem} ${src})
    target_link_libraries(fuzz_${stem} PRIVATE ${F_DEPS} ledgora_options)
    target_link_options(fuzz_${stem} PRIVATE -fsanitize=fuzzer)
  endforeach()
endfunction()

function(ledgora_module)
  cmake_parse_arguments(M "" "NAME" "DEPS;TEST_DEPS" ${ARGN})
  file(GLOB all_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(lib_sources "")
  set(test_sources "")
  set(fuzz_sources "")
  foreach(src ${all_sources})
    get_filename_component(file ${src} NAME)
    if(file MATCHES "_test\\.cpp$" OR file MATCHES "^test_.*\\.cpp$")
      list(APPEND test_sources ${src})
    elseif(file MATCHES "_fuzz\\.cpp$")
      list(APPEND fuzz_sources ${src})
    elseif(NOT file STREQUAL "main.cpp")
      list(APPEND lib_sources ${src})
    endif()
  endforeach()
  set(target ledgora_${M_NAME})
  if(lib_sources)
    add_library(${target} STATIC ${lib_sources})
    target_link_libraries(${target} PUBLIC ledgora_options ${M_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_link_libraries(${target} INTERFACE ledgora_options ${M_DEPS})
  endif()
  ledgora_tests(NAME ${M_NAME} SOURCES ${test_sources} DEPS ${target} ${M_TEST_DEPS})
  ledgora_fuzzers(SOURCES ${fuzz_sources} DEPS ${target})
endfunction()
