# zumi_gzip(SOURCE OUTPUT): OUTPUT (ending in .gz) is SOURCE compressed at
# build time as Debian wants it: -9, and -n so that neither name nor time
# goes in and the same text always gives the same bytes.
include_guard(GLOBAL)
find_program(ZUMI_GZIP gzip REQUIRED)
function(zumi_gzip source output)
  string(REGEX REPLACE "\\.gz$" "" plain ${output})
  get_filename_component(folder ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${plain}
    COMMAND ${ZUMI_GZIP} -n -9 -f ${plain}
    DEPENDS ${source}
    COMMENT "Compressing ${output}"
    VERBATIM)
endfunction()
