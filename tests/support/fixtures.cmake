# The fixture library: workbooks and packages written and read for the tests and the benchmarks
# alike, without QtTest. Included by tests/ and by bench/, built once.
set(KIVEXCEL_FIXTURE_SOURCES
  "${CMAKE_CURRENT_LIST_DIR}/zipwriter.cpp" "${CMAKE_CURRENT_LIST_DIR}/zipwriter.h"
  "${CMAKE_CURRENT_LIST_DIR}/packagereading.cpp" "${CMAKE_CURRENT_LIST_DIR}/packagereading.h"
  "${CMAKE_CURRENT_LIST_DIR}/workbookwriter.cpp" "${CMAKE_CURRENT_LIST_DIR}/workbookwriter.h"
  "${CMAKE_CURRENT_LIST_DIR}/chineseofficebook.cpp" "${CMAKE_CURRENT_LIST_DIR}/chineseofficebook.h"
  "${CMAKE_CURRENT_LIST_DIR}/customerbook.cpp" "${CMAKE_CURRENT_LIST_DIR}/customerbook.h"
  "${CMAKE_CURRENT_LIST_DIR}/formulabook.cpp" "${CMAKE_CURRENT_LIST_DIR}/formulabook.h")
include_guard(GLOBAL)

add_library(kivexcel_fixtures STATIC ${KIVEXCEL_FIXTURE_SOURCES})
target_link_libraries(kivexcel_fixtures PUBLIC kivexcel)
target_include_directories(kivexcel_fixtures PUBLIC "${CMAKE_CURRENT_LIST_DIR}")
