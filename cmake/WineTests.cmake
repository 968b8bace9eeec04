# Test programs are Windows executables: CTest runs each through scripts/wine-run,
# which uses (and on first use creates) the Wine prefix <build>/wineprefix.
# Include it in each directory that adds test programs (it only sets variables there).

set(TAVREL_WINE_RUN ${PROJECT_SOURCE_DIR}/scripts/wine-run)
set(TAVREL_TEST_EMULATOR ${TAVREL_WINE_RUN} --build-dir ${CMAKE_BINARY_DIR})
# Test programs land where Tavrel.dll lands, so they load it without a copy.
set(TAVREL_TEST_OUTPUT_DIR ${CMAKE_BINARY_DIR}/bin)

# Targets made in the calling directory run under Wine when CMake runs them.
set(CMAKE_CROSSCOMPILING_EMULATOR ${TAVREL_TEST_EMULATOR})

# tavrel_add_test_program(<name> SOURCES <files>... [LIBS <libraries>...])
# One executable linked with tavrel_test_support (main, COM apartment, dialog driver)
# and one CTest entry that runs all of its test cases in one Wine process.
function(tavrel_add_test_program name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SOURCES;LIBS")
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "tavrel_add_test_program(${name}): unexpected arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT ARG_SOURCES)
    message(FATAL_ERROR "tavrel_add_test_program(${name}): SOURCES is required")
  endif()

  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tavrel_test_support ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${TAVREL_TEST_OUTPUT_DIR}
    CROSSCOMPILING_EMULATOR "${TAVREL_TEST_EMULATOR}")

  if(TARGET Tavrel)
    add_dependencies(${name} Tavrel)
    get_target_property(dll_dir Tavrel RUNTIME_OUTPUT_DIRECTORY)
    if(NOT dll_dir STREQUAL TAVREL_TEST_OUTPUT_DIR)
      add_custom_command(TARGET ${name} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Tavrel> $<TARGET_FILE_DIR:${name}>
        VERBATIM)
    endif()
  endif()

  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${TAVREL_TEST_OUTPUT_DIR})
  # A program that ends before all its tests have run fails, whatever its exit status
  # (scripts/wine-run checks the file GoogleTest leaves behind then).
  set_tests_properties(${name} PROPERTIES LABELS wine
    ENVIRONMENT "TEST_PREMATURE_EXIT_FILE=${name}.premature-exit")
endfunction()
