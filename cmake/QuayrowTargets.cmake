# Compiler settings shared by every target, set once on an interface target.
add_library(quayrow_settings INTERFACE)
target_compile_options(quayrow_settings INTERFACE
  -Wall -Wextra -Wnon-virtual-dtor -Woverloaded-virtual -Wsuggest-override
  # Designated initialisers leave defaulted fields out on purpose.
  -Wno-missing-field-initializers)
target_compile_definitions(quayrow_settings INTERFACE
  QT_NO_KEYWORDS
  QT_NO_CAST_FROM_ASCII
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QUAYROW_VERSION="${PROJECT_VERSION}")

# quayrow_add_library(<name> SOURCES ... LIBS ...): one static library per layer.
function(quayrow_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC quayrow_settings ${ARG_LIBS})
endfunction()

# quayrow_add_test(<name> SOURCES ... LIBS ... [ENV ...] [TIMEOUT s]):
# one Qt Test executable registered with CTest; widgets run on the offscreen platform. In a
# sanitizer build the sanitizers' options join the environment (cmake/Sanitizers.cmake).
function(quayrow_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test quayrow_settings ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENV};${QUAYROW_SANITIZER_ENVIRONMENT}")
endfunction()
