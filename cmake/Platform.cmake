# cmake/Platform.cmake: what differs between the Windows and Linux builds:
# the platform layer's sources, the runtime's linking and the export list.

if(WIN32)
  enable_language(RC)
  # The Unicode flavour of the Windows API, as the host's MFC is.
  add_compile_definitions(UNICODE _UNICODE)
  set(FERLO_RESOURCES ${CMAKE_SOURCE_DIR}/res/ferlo.rc)
  # The settings dialog's layout and languages are included by ferlo.rc.
  file(GLOB FERLO_RESOURCE_PARTS ${CMAKE_SOURCE_DIR}/res/*.rch ${CMAKE_SOURCE_DIR}/res/*.h
    ${CMAKE_SOURCE_DIR}/res/lang/*.rc)
  set_source_files_properties(${FERLO_RESOURCES} PROPERTIES OBJECT_DEPENDS "${FERLO_RESOURCE_PARTS}")
  set(FERLO_PLATFORM_SOURCES "")
  set(FERLO_PLATFORM_LIBS "")
  # The plug-in drops into a host's folder alone: the compiler's runtime is
  # linked in, so it depends on system DLLs only.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # The 32-bit module also exports String's and CAbort's members under the
  # host compiler's names.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(FERLO_EXPORT_SOURCES ${CMAKE_SOURCE_DIR}/filter/ferlo32.def
      ${CMAKE_SOURCE_DIR}/common/ExportedConstructors.cpp)
  else()
    set(FERLO_EXPORT_SOURCES ${CMAKE_SOURCE_DIR}/filter/ferlo64.def)
  endif()
  function(ferlo_set_exports target)
    target_sources(${target} PRIVATE ${FERLO_EXPORT_SOURCES} ${FERLO_RESOURCES})
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ferlo)
  endfunction()
else()
  # Linux builds carry no resources: lookups find nothing.
  set(FERLO_RESOURCES "")
  set(FERLO_PLATFORM_SOURCES
    ${CMAKE_SOURCE_DIR}/platform/posix/CodePage.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/CodePageNames.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/CodePageTables.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/Dialog.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/Files.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/PathText.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/Locale.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/Module.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/Registry.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/Streams.cpp
    ${CMAKE_SOURCE_DIR}/platform/posix/WideString.cpp
    ${CMAKE_SOURCE_DIR}/platform/Utf8.cpp)
  set(FERLO_PLATFORM_LIBS ${CMAKE_DL_LIBS})
  function(ferlo_set_exports target)
    set(script ${CMAKE_SOURCE_DIR}/filter/ferlo.map)
    target_link_options(${target} PRIVATE -Wl,--version-script=${script} -Wl,--no-undefined)
    set_target_properties(${target} PROPERTIES LINK_DEPENDS ${script})
  endfunction()
endif()
