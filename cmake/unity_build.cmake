# Compiles the sources of the given targets in batches of a few files each (a unity build).
# scripts/unity-build-batches.py puts together only sources whose own names (an unnamed
# namespace, `static`, a file's own classes and helpers) do not meet; the rest are compiled alone.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(kestrune_unity_build)
  set(listing "")
  foreach(target ${ARGN})
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
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
  # Small batches: a slow file costs little, and two processors still find work to share at the
  # end of a target.
  execute_process(COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/unity-build-batches.py
                          ${PROJECT_SOURCE_DIR} 8
                  INPUT_FILE ${listing_file} OUTPUT_VARIABLE batches COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\n" ";" batches "${batches}")
  foreach(entry ${batches})
    string(FIND "${entry}" " " space)
    string(SUBSTRING "${entry}" 0 ${space} batch)
    math(EXPR source_start "${space} + 1")
    string(SUBSTRING "${entry}" ${source_start} -1 source)
    set_source_files_properties(${source} PROPERTIES UNITY_GROUP ${batch})
  endforeach()
endfunction()
