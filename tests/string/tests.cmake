# tests/string/tests.cmake: the strings' and CAbort's unit tests, and for the
# Windows builds the check of the module's export and import tables, which
# reads the built module without running it (label "static").
target_sources(ferlo_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/string_test.cpp ${CMAKE_CURRENT_LIST_DIR}/abort_test.cpp)
if(WIN32)
  set(arch $<IF:$<EQUAL:${CMAKE_SIZEOF_VOID_P},4>,i686,x86_64>)
  add_test(NAME export_table COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/check_exports.sh ${CMAKE_OBJDUMP} ${CMAKE_NM}
    $<TARGET_FILE:ferlo> ${CMAKE_CURRENT_LIST_DIR}/exports-${arch}.txt)
  set_tests_properties(export_table PROPERTIES LABELS static)
endif()
