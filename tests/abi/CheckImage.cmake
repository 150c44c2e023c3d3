# tests/abi/CheckImage.cmake: checks that IMAGE is a Windows executable for
# the machine type MACHINE (four hex digits, as the image header holds it).
# Run with cmake -DIMAGE=... -DMACHINE=... -P CheckImage.cmake.

if(NOT EXISTS "${IMAGE}")
  message(FATAL_ERROR "${IMAGE} was not built")
endif()

# Reads COUNT bytes at OFFSET as a little-endian hex number.
function(read_le out offset count)
  file(READ "${IMAGE}" bytes OFFSET ${offset} LIMIT ${count} HEX)
  set(value "")
  string(LENGTH "${bytes}" length)
  while(length GREATER 0)
    math(EXPR length "${length} - 2")
    string(SUBSTRING "${bytes}" ${length} 2 byte)
    string(APPEND value "${byte}")
  endwhile()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

read_le(dos_magic 0 2)
if(NOT dos_magic STREQUAL "5a4d")
  message(FATAL_ERROR "${IMAGE}: no MZ header")
endif()
read_le(pe_offset_hex 60 4)
math(EXPR pe_offset "0x${pe_offset_hex}")
read_le(signature ${pe_offset} 4)
if(NOT signature STREQUAL "00004550")
  message(FATAL_ERROR "${IMAGE}: no PE signature at ${pe_offset}")
endif()
math(EXPR machine_offset "${pe_offset} + 4")
read_le(machine ${machine_offset} 2)
string(TOLOWER "${MACHINE}" wanted)
if(NOT machine STREQUAL wanted)
  message(FATAL_ERROR "${IMAGE}: machine type ${machine}, expected ${wanted}")
endif()
message(STATUS "${IMAGE}: a Windows image for machine type ${machine}")
