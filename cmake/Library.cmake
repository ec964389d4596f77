# Helpers shared by the library folders. Every DLL is named exactly as the
# deliverable (no "lib" prefix), carries a version resource made from the
# project's one version number, and installs into bin/ with its import
# library in lib/, its public header in include/ and a CMake package in
# lib/cmake/<name>/.

include(CMakePackageConfigHelpers)

set(_tavro_description_Orvane "Shell event hook of the Orvane window-inspection tool")
set(_tavro_description_Tavrolib "Push-button enhancement library")
set(_tavro_description_Nellolib "Menu enhancement library")

function(tavro_add_dll target)
  set(TAVRO_DLL_NAME ${target})
  set(TAVRO_DLL_DESCRIPTION "${_tavro_description_${target}}")
  if(NOT TAVRO_DLL_DESCRIPTION)
    message(FATAL_ERROR "tavro_add_dll: no description for ${target} in cmake/Library.cmake")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  add_library(${target} SHARED ${ARGN} ${rc})
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target}
    IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a")
  install(TARGETS ${target} EXPORT ${target}Targets
    RUNTIME DESTINATION bin
    ARCHIVE DESTINATION lib)
endfunction()

# Makes the DLL findable by hosts: find_package(<target>) gives the imported
# target <target>::<target>, whose include directory holds the public header.
function(tavro_install_package target header)
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:include>)
  install(FILES ${header} DESTINATION include)
  set(dir lib/cmake/${target})
  install(EXPORT ${target}Targets NAMESPACE ${target}:: DESTINATION ${dir})
  set(TAVRO_PACKAGE ${target})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/package)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/PackageConfig.cmake.in
    ${out}/${target}Config.cmake INSTALL_DESTINATION ${dir})
  write_basic_package_version_file(${out}/${target}ConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${out}/${target}Config.cmake ${out}/${target}ConfigVersion.cmake DESTINATION ${dir})
endfunction()

# Hosts built with MSVC link against MSVC-decorated names. The folder's
# msvc_aliases_<arch>.def adds each export once more under that name (the
# same function), and an MSVC-style import library <target>.lib is made from
# those names next to the MinGW one.
function(tavro_add_msvc_aliases target)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(arch i686)
    set(machine i386)
  else()
    set(arch x86_64)
    set(machine i386:x86-64)
  endif()
  set(aliases ${CMAKE_CURRENT_SOURCE_DIR}/msvc_aliases_${arch}.def)
  target_sources(${target} PRIVATE ${aliases})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${aliases})

  # The import library lists the MSVC names alone: drop the "= gcc name" part.
  file(STRINGS ${aliases} lines REGEX "^\"")
  set(exports "LIBRARY ${target}.dll\nEXPORTS\n")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE " *=.*$" "" name "${line}")
    string(APPEND exports "${name}\n")
  endforeach()
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}.msvc.def)
  file(WRITE ${def} "${exports}")
  set(lib ${CMAKE_ARCHIVE_OUTPUT_DIRECTORY}/${target}.lib)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_DLLTOOL} -m ${machine} -d ${def} -l ${lib} -D ${target}.dll
    COMMENT "MSVC import library ${target}.lib")
  install(FILES ${lib} DESTINATION lib)
endfunction()

# Sources whose floating point must round as the 64-bit build's does: a
# 32-bit build computes on the x87 unit by default, which keeps intermediates
# in 80 bits and so rounds at other steps than single and double precision.
# SSE2 arithmetic rounds at every step, as on x86_64; the stack is realigned
# because 32-bit Windows calls back on a stack aligned to 4 bytes only.
function(tavro_use_exact_float)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set_property(SOURCE ${ARGN} APPEND PROPERTY COMPILE_OPTIONS -msse2 -mfpmath=sse -mstackrealign)
  endif()
endfunction()
