# The program is built in layers, each a library that links only the layers
# below it (docs/DEVELOPING.md has the picture). bw_layer() makes one and
# checks at configure time that no file of its folder includes a header
# from a folder the layer may not use, so a wrong include fails the build
# before anything is compiled.

# The folders under src/ in order, lowest first; each may use those before it.
set(BW_LAYERS containers platform state log settings pipeline lang windows app)

function(bw_check_includes folder)
  list(FIND BW_LAYERS ${folder} position)
  if(position LESS 0)
    message(FATAL_ERROR "src/${folder} is not a known layer")
  endif()
  list(SUBLIST BW_LAYERS 0 ${position} allowed)
  list(APPEND allowed ${folder})
  file(GLOB sources "${CMAKE_SOURCE_DIR}/src/${folder}/*.h" "${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp")
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^#include \"[a-z_]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" used "${line}")
      list(FIND allowed ${used} ok)
      if(ok LESS 0)
        file(RELATIVE_PATH where ${CMAKE_SOURCE_DIR} ${source})
        message(FATAL_ERROR "${where} includes ${used}/, a layer above ${folder}/ (see docs/DEVELOPING.md)")
      endif()
    endforeach()
  endforeach()
endfunction()
