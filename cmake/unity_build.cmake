# Compiles the sources of the given targets in batches of a few files each. A source whose own
# names (an unnamed namespace, `static`, a macro, `using namespace`) would meet those of another
# source in its batch is compiled alone; scripts/unity-build-clashes.py finds them.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(kestrune_unity_build)
  set(listing "")
  foreach(target ${ARGN})
    # Small batches: a clash the script misses, or a slow file, costs little, and two cores
    # still find work to share at the end of a target.
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    # GCC takes every source a batch includes for a header, and a type of a header that derives
    # from one of an unnamed namespace is a fault there; a test's fixture in a source is not.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
    endif()
    get_target_property(sources ${target} SOURCES)
    foreach(source ${sources})
      string(APPEND listing "${target} ${source}\n")
    endforeach()
  endforeach()
  set(listing_file ${PROJECT_BINARY_DIR}/unity_build_sources.txt)
  file(WRITE ${listing_file} ${listing})
  execute_process(COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/unity-build-clashes.py
                          ${PROJECT_SOURCE_DIR}
                  INPUT_FILE ${listing_file} OUTPUT_VARIABLE alone COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\n" ";" alone "${alone}")
  set_source_files_properties(${alone} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
endfunction()
