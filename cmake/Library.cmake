# Helpers shared by the library folders. Every DLL is named exactly as the
# deliverable (no "lib" prefix), carries a version resource made from the
# project's one version number, and installs into bin/ with its import
# library in lib/.

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
