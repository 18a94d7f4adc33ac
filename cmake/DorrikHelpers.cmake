# Sources of a folder, picked up by pattern so that a new class needs no CMake edit.
function(dorrik_glob_sources out)
    set(result)
    foreach(dir IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.h")
        list(APPEND result ${found})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()
