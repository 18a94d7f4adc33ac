# menu-shot saves a picture of every scene of the menu under <build>/shots/<width>x<height>/ and
# checks that none is missing or one flat colour. Its scenes are registered as shards, ctests of
# their own that run side by side: each takes the pictures its patterns name (wildcards over the
# pictures' names), and the last one every picture the others leave.
#
#   dorrik_add_menu_shot(SOURCES <sources>... SHOTS_QML <folder of the pictures' own QML>)
#
# Paths are taken from the calling folder. Needs dorrik_menudriver and, for the Russian pictures,
# the program `tavrin` (its folder holds the translations).
function(dorrik_add_menu_shot)
    cmake_parse_arguments(shot "" "SHOTS_QML" "SOURCES" ${ARGN})
    get_filename_component(shots_qml "${shot_SHOTS_QML}" ABSOLUTE
                           BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    add_executable(menu-shot ${shot_SOURCES})
    target_link_libraries(menu-shot PRIVATE dorrik_menudriver)
    add_dependencies(menu-shot qmldorrikbusplugin)
    if(TARGET menu_test_docs)
        add_dependencies(menu-shot menu_test_docs)
    endif()
    # Pictures of the controls and the keypad are made of QML files of their own.
    target_compile_definitions(menu-shot PRIVATE
        DORRIK_SHOTS_QML_DIR="${shots_qml}"
        DORRIK_SHARE_QML_DIR="${PROJECT_SOURCE_DIR}/share/menu/qml")
    if(TARGET tavrin)
        add_dependencies(menu-shot tavrin)
        target_compile_definitions(menu-shot PRIVATE
            DORRIK_PROGRAM_DIR="$<TARGET_FILE_DIR:tavrin>")
    endif()

    # Name, the sizes it is taken at, its pictures' patterns; lists split by "|". Each size is a
    # ctest of its own. Balanced by time: the longest shard is the wall time of the pictures.
    set(both "800x600|640x480")
    set(shards
        tree ${both} "tree-*"
        ru_tree 640x480 "ru-tree-*"
        ru_screens 640x480 "ru-question-*|ru-editor-*|ru-keypad-*|ru-sites-*|ru-archive-*"
        calibration ${both} "calib-*"
        archive ${both} "archive-*"
        measure ${both} "measure-*|schedule-*"
        sites ${both} "sites-*"
        controls ${both} "controls-*|keypad-*|menu-column-*|editor-*"
        games ${both} "seabattle-*|balls-*")
    set(rest)
    while(shards)
        list(POP_FRONT shards name sizes patterns)
        string(REPLACE "|" ";" sizes "${sizes}")
        string(REPLACE "|" ";" patterns "${patterns}")
        set(only)
        foreach(pattern IN LISTS patterns)
            list(APPEND only --only ${pattern})
            list(APPEND rest --except ${pattern})
        endforeach()
        foreach(size IN LISTS sizes)
            dorrik_add_menu_shot_test(menu_shot_${name}_${size} --size ${size} ${only})
        endforeach()
    endwhile()
    # The rest: every picture no shard above names, a scene added later among them.
    foreach(size 800x600 640x480)
        dorrik_add_menu_shot_test(menu_shot_rest_${size} --size ${size} ${rest})
    endforeach()
endfunction()

function(dorrik_add_menu_shot_test name)
    add_test(NAME ${name} COMMAND menu-shot ${ARGN} ${CMAKE_BINARY_DIR}/shots)
    # The whole menu and the simulator: two cores, as the whole-menu tests.
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${DORRIK_TEST_ENV}" TIMEOUT 600
                         LABELS menu_shot PROCESSORS 2)
endfunction()
