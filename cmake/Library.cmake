# Helpers shared by the library folders.

# A DLL named exactly as the deliverable (no "lib" prefix), with its import
# library in lib/.
function(tavro_add_dll target)
  add_library(${target} SHARED ${ARGN})
  set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${target}
    IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a")
endfunction()
