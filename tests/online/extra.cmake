# The loopback HTTP server shared by the online tests.
add_library(kivexcel_online_testserver STATIC
  ${CMAKE_CURRENT_LIST_DIR}/testhttpserver.cpp ${CMAKE_CURRENT_LIST_DIR}/testhttpserver.h)
target_link_libraries(kivexcel_online_testserver PUBLIC Qt5::Core Qt5::Network)
target_include_directories(kivexcel_online_testserver PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(kivexcel_online_testserver PRIVATE
  KIVEXCEL_ONLINE_TEST_DIR="${CMAKE_CURRENT_LIST_DIR}")

file(GLOB ONLINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tst_*.cpp)
foreach(online_test_source ${ONLINE_TEST_SOURCES})
  get_filename_component(online_test_name ${online_test_source} NAME_WE)
  target_link_libraries(${online_test_name} PRIVATE kivexcel_online_testserver)
endforeach()

# libFuzzer target for the two XML readers (advertisement list, update document). Built only
# on request (`--target fuzz_online_xml`) and only where clang with libFuzzer is installed.
# Run: <build>/fuzzers/fuzz_online_xml -dict=tests/online/fuzz_online_xml.dict
#      -max_total_time=300 <new corpus folder> tests/online/fuzz_corpus
find_program(KIVEXCEL_CLANGXX NAMES clang++ clang++-14)
if(KIVEXCEL_CLANGXX)
  execute_process(COMMAND ${KIVEXCEL_CLANGXX} -print-file-name=libclang_rt.fuzzer-x86_64.a
                  OUTPUT_VARIABLE KIVEXCEL_LIBFUZZER OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
get_filename_component(ONLINE_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
if(KIVEXCEL_CLANGXX AND KIVEXCEL_LIBFUZZER AND IS_ABSOLUTE "${KIVEXCEL_LIBFUZZER}"
   AND EXISTS "${KIVEXCEL_LIBFUZZER}")
  set(FUZZ_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/fuzz_online_xml.cpp
    ${ONLINE_SOURCE_ROOT}/online/kivadinfo.cpp
    ${ONLINE_SOURCE_ROOT}/online/updatedocument.cpp
    ${ONLINE_SOURCE_ROOT}/online/xmlguard.cpp)
  set(FUZZ_BINARY ${CMAKE_CURRENT_BINARY_DIR}/fuzzers/fuzz_online_xml)
  set(FUZZ_INCLUDES
    "$<TARGET_PROPERTY:Qt5::Xml,INTERFACE_INCLUDE_DIRECTORIES>"
    "$<TARGET_PROPERTY:Qt5::Core,INTERFACE_INCLUDE_DIRECTORIES>")
  # Its own compiler, so the project itself may be built with any compiler.
  add_custom_command(
    OUTPUT ${FUZZ_BINARY}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/fuzzers
    COMMAND ${KIVEXCEL_CLANGXX} -std=c++17 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined
            -I${ONLINE_SOURCE_ROOT} "-I$<JOIN:${FUZZ_INCLUDES},;-I>"
            ${FUZZ_SOURCES} "$<TARGET_FILE:Qt5::Xml>" "$<TARGET_FILE:Qt5::Core>"
            -o ${FUZZ_BINARY}
    DEPENDS ${FUZZ_SOURCES} ${ONLINE_SOURCE_ROOT}/online/kivadinfo.h
            ${ONLINE_SOURCE_ROOT}/online/updatedocument.h ${ONLINE_SOURCE_ROOT}/online/xmlguard.h
    COMMAND_EXPAND_LISTS
    COMMENT "Building the libFuzzer target for the online XML readers")
  add_custom_target(fuzz_online_xml DEPENDS ${FUZZ_BINARY})
endif()
