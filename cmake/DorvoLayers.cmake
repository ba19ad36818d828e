# dorvo_layer(<name> <dir> [EXCLUDE <subdir>...])
# A library from every .cpp under <dir>, minus the excluded sub-folders: static, or shared with
# DORVO_SHARED_LAYERS (the test build, so that its many test programs do not each carry a copy
# of every layer below them). An empty layer still gets a target so higher layers can link it
# before it has code.
function(dorvo_layer name dir)
  cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.c)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER srcs EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/${ex}/")
  endforeach()
  set(stub ${CMAKE_BINARY_DIR}/layer_${name}.cpp)
  if(NOT EXISTS ${stub})
    file(WRITE ${stub} "// keeps the ${name} layer a valid library while it has no sources\n")
  endif()
  add_library(${name} ${DORVO_LAYER_KIND} ${srcs} ${stub})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/src/libs)
endfunction()

# dorvo_test_dir(<dir> <layer> [EXCLUDE <subdir>...] [LIBS <library>...])
# One test program per *Test.cpp file under tests/<dir>, linked to <layer>, the shared
# test support (headless, test clock, captured assertions) and any further LIBS. Sub-folders
# that mirror a higher layer are excluded by the caller.
function(dorvo_test_dir dir layer)
  cmake_parse_arguments(ARG "" "" "EXCLUDE;LIBS" ${ARGN})
  file(GLOB_RECURSE tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*Test.cpp)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER tests EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/tests/${ex}/")
  endforeach()
  foreach(t IN LISTS tests)
    get_filename_component(tname ${t} NAME_WE)
    set(target ${layer}_${tname})
    add_executable(${target} ${t})
    target_link_libraries(${target} PRIVATE ${layer} ${ARG_LIBS} dorvo_testsupport)
    # The fixtures at the top of tests/<dir> serve the test files of its sub-folders too.
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/${dir})
    set(workdir ${CMAKE_BINARY_DIR}/testrun/${target})
    file(MAKE_DIRECTORY ${workdir})
    # Programs that start a virtual display for the real OpenGL device load Mesa, D-Bus and
    # SDL's audio modules, which keep allocations until exit; leak checking stays on elsewhere.
    file(READ ${t} body)
    string(FIND "${body}" "#include \"VirtualDisplay.h\"" uses_xvfb)
    if(uses_xvfb EQUAL -1)
      set(leaks 1)
    else()
      set(leaks 0)
    endif()
    gtest_discover_tests(${target}
      WORKING_DIRECTORY ${workdir}
      PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=${leaks}" LABELS ${layer}
      DISCOVERY_TIMEOUT 60)
  endforeach()
endfunction()
