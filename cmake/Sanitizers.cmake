# -DQUAYROW_SANITIZE=ON (`make sanitize`, in build-sanitize): every target built with clang's
# AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer. Any report ends the process with
# a failure, so a test that meets one fails, and so does a test whose child process meets one.
option(QUAYROW_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer (clang)" OFF)
if(NOT QUAYROW_SANITIZE)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "QUAYROW_SANITIZE needs clang (-DCMAKE_CXX_COMPILER=clang++)")
endif()
if(QUAYROW_FUZZ)
  message(FATAL_ERROR "QUAYROW_SANITIZE and QUAYROW_FUZZ are separate builds")
endif()

add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)
# Optimised as far as keeps the reports exact; line tables are all the reports need, and fuller
# debug information would only slow the build.
set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O1 -gline-tables-only -DNDEBUG")

# The symbolizer of clang's own version turns addresses into functions and lines.
string(REGEX MATCH "^[0-9]+" clang_major "${CMAKE_CXX_COMPILER_VERSION}")
find_program(QUAYROW_LLVM_SYMBOLIZER NAMES llvm-symbolizer-${clang_major} llvm-symbolizer)
set(symbolizer "")
if(QUAYROW_LLVM_SYMBOLIZER)
  set(symbolizer ":external_symbolizer_path=${QUAYROW_LLVM_SYMBOLIZER}")
endif()

# The options of the sanitizers, in the environment of every test (quayrow_add_test) and so of
# every process a test starts. A report ends the process with status 86, which no test expects
# (1 and 2 are the program's own failures); LeakSanitizer and UndefinedBehaviorSanitizer take
# their status from AddressSanitizer's options.
set(QUAYROW_SANITIZER_ENVIRONMENT
  "ASAN_OPTIONS=exitcode=86:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1${symbolizer}"
  "UBSAN_OPTIONS=print_stacktrace=1:report_error_type=1${symbolizer}"
  "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/leak-suppressions.txt:print_suppressions=0")
