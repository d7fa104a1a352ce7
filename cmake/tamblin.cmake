# tamblin_test(NAME SOURCES... [LIBS libs...] [SCREEN WxHxD] [LABELS labels...] [TIMEOUT s])
# A GoogleTest executable registered as one CTest test. Windows tests run under Wine on the
# Xvfb screen SCREEN (default 1920x1080x24); tests on one screen never overlap, because they
# draw on it and read it back.
function(tamblin_test name)
  cmake_parse_arguments(T "" "SCREEN;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "${T_LABELS}")
  if(WIN32)
    if(NOT T_SCREEN)
      set(T_SCREEN 1920x1080x24)
    endif()
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "TAMBLIN_SCREEN=${T_SCREEN}"
      RESOURCE_LOCK "screen-${T_SCREEN}")
  endif()
endfunction()
