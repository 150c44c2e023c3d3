# tests/string/tests.cmake: the wide string's and CAbort's unit tests, and,
# for the Windows builds, the check of the module's export and import tables.
# Included from tests/CMakeLists.txt.

target_sources(ferlo_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/string_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/abort_test.cpp)

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(ferlo_expected_exports ${CMAKE_CURRENT_LIST_DIR}/exports-i686.txt)
  else()
    set(ferlo_expected_exports ${CMAKE_CURRENT_LIST_DIR}/exports-x86_64.txt)
  endif()
  # Reads the built module without running it: the label "static" marks
  # such checks of the binary.
  add_test(NAME export_table
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/check_exports.sh
      ${CMAKE_OBJDUMP} ${CMAKE_NM} $<TARGET_FILE:ferlo> ${ferlo_expected_exports})
  set_tests_properties(export_table PROPERTIES LABELS static)
endif()
