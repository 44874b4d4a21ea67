# Precompiled headers for the test programs: the test framework's header and the standard headers
# most tests include are parsed once per build instead of once per source or batch. (The engine's
# own sources gain nothing measurable from one: their time goes to optimising, not parsing.)
# GCC takes a precompiled header only where the options that shape the headers match those it was
# made with, so one target made with the test programs' options makes it and every test program
# reuses it; a mismatch is a warning (-Winvalid-pch, which CMake adds), and so fails CI.
function(kestrune_precompile_test_headers)
  add_library(kestrune_test_headers OBJECT ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  kestrune_test_program_options(kestrune_test_headers)
  target_precompile_headers(kestrune_test_headers PRIVATE <gtest/gtest.h> <algorithm> <array> <cstdint>
                            <cstring> <filesystem> <functional> <memory> <optional> <string> <thread>
                            <utility> <vector>)
  foreach(target ${ARGN})
    target_precompile_headers(${target} REUSE_FROM kestrune_test_headers)
  endforeach()
endfunction()
