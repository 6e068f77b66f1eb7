# Runtime-free Win32 DLLs: built freestanding with an entry point of their own,
# importing only from the system DLLs, exporting exactly the rows of one list.

set(SORBIX_FREESTANDING_FLAGS
    -ffreestanding -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fno-stack-protector -fno-threadsafe-statics)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(SORBIX_DLL_ENTRY _DllMain@12)
else()
  set(SORBIX_DLL_ENTRY DllMain)
endif()

set(SORBIX_DLL_LINK_FLAGS
    -nostdlib -shared -s
    -Wl,--kill-at
    -Wl,-e,${SORBIX_DLL_ENTRY} -Wl,-u,${SORBIX_DLL_ENTRY}
    -Wl,--no-insert-timestamp
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0)

# The export list ("ordinal name argument-count" rows) becomes the module
# definition file. In the 32-bit build each row names the stdcall symbol
# Name@bytes: --kill-at exports it undecorated, and a function whose argument
# count differs from its row has no such symbol, so the link fails.
function(sorbix_export_definition list_file dll_name out_var)
  file(STRINGS ${list_file} rows REGEX "^[0-9]")
  set(def "LIBRARY ${dll_name}\nEXPORTS\n")
  foreach(row IN LISTS rows)
    if(NOT row MATCHES "^([0-9]+)[ \t]+([A-Za-z_][A-Za-z_0-9]*)[ \t]+([0-9]+)[ \t]*$")
      message(FATAL_ERROR "${list_file}: cannot read row '${row}'")
    endif()
    set(ordinal ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    math(EXPR bytes "${CMAKE_MATCH_3} * 4")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND def "  ${name}@${bytes} @${ordinal}\n")
    else()
      string(APPEND def "  ${name} @${ordinal}\n")
    endif()
  endforeach()
  get_filename_component(stem ${dll_name} NAME_WE)
  set(def_file ${CMAKE_CURRENT_BINARY_DIR}/${stem}.def)
  file(CONFIGURE OUTPUT ${def_file} CONTENT "${def}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list_file})
  set(${out_var} ${def_file} PARENT_SCOPE)
endfunction()

# sorbix_runtime_free_dll(target EXPORTS list SOURCES ... [OUTPUT_NAME name]
#                         [LIBRARIES ...] [ALLOW_IMPORTS_FROM dll...])
function(sorbix_runtime_free_dll target)
  cmake_parse_arguments(ARG "" "EXPORTS;OUTPUT_NAME" "SOURCES;LIBRARIES;ALLOW_IMPORTS_FROM"
                        ${ARGN})
  if(NOT ARG_OUTPUT_NAME)
    set(ARG_OUTPUT_NAME ${target})
  endif()
  # The 32-bit test build runs the shipped DLLs themselves: each deliverable
  # is copied from that build's bin folder, not compiled again. Fixtures
  # (under tests/) are built as usual.
  if(SORBIX_SHIPPED_DLLS AND NOT CMAKE_CURRENT_SOURCE_DIR MATCHES "^${PROJECT_SOURCE_DIR}/tests/")
    set(shipped ${SORBIX_SHIPPED_DLLS}/${ARG_OUTPUT_NAME}.dll)
    set(copy ${CMAKE_BINARY_DIR}/bin/${ARG_OUTPUT_NAME}.dll)
    add_custom_command(OUTPUT ${copy}
                       COMMAND ${CMAKE_COMMAND} -E copy ${shipped} ${copy}
                       DEPENDS ${shipped}
                       COMMENT "Shipped ${ARG_OUTPUT_NAME}.dll")
    add_custom_target(${target} ALL DEPENDS ${copy})
    return()
  endif()
  sorbix_export_definition(${ARG_EXPORTS} ${ARG_OUTPUT_NAME}.dll def_file)
  add_library(${target} SHARED ${ARG_SOURCES} ${def_file})
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${ARG_OUTPUT_NAME})
  target_compile_options(${target} PRIVATE ${SORBIX_FREESTANDING_FLAGS})
  target_link_options(${target} PRIVATE ${SORBIX_DLL_LINK_FLAGS})
  # A DLL with an entry point of its own defines DllMain; the others take
  # the plain one from sorbix_dll_runtime.
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} sorbix_win32 sorbix_interfaces
                        sorbix_text sorbix_dll_runtime
                        kernel32 user32 advapi32 gcc)

  # The 32-bit deliverable is read back by objdump: exports exactly as listed,
  # only allowed imports, headers for Windows 95 and NT 4.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND NOT SORBIX_SHIPPED_DLLS)
    set(allow_args)
    foreach(dll IN LISTS ARG_ALLOW_IMPORTS_FROM)
      list(APPEND allow_args --allow-dll ${dll})
    endforeach()
    add_test(NAME dll-interface.${ARG_OUTPUT_NAME}
             COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/check_dll.py
                     --objdump ${CMAKE_OBJDUMP}
                     --dll $<TARGET_FILE:${target}>
                     --exports ${ARG_EXPORTS}
                     --allowed ${PROJECT_SOURCE_DIR}/tools/allowed-imports.txt
                     ${allow_args})
  endif()
endfunction()
