# Sources of a folder, picked up by pattern so that a new class needs no CMake edit.
function(dorrik_glob_sources out)
    set(result)
    foreach(dir IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.h")
        list(APPEND result ${found})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# The keypad's languages are the letter layouts found on disk under <dest>/share/menu/qml, as on
# the instrument: copies them there for a program run from that folder.
function(dorrik_copy_keypad_layouts dest)
    file(GLOB layouts CONFIGURE_DEPENDS
         "${PROJECT_SOURCE_DIR}/share/menu/qml/components/keypadcomponents/Keypad_*.qml")
    foreach(layout IN LISTS layouts)
        get_filename_component(name ${layout} NAME)
        configure_file(${layout} ${dest}/share/menu/qml/components/keypadcomponents/${name}
                       COPYONLY)
    endforeach()
endfunction()
