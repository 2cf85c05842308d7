# The program's icon is drawn once, in zembrel.svg beside this file; rsvg-convert rasterises it
# in the sizes of the hicolor icon theme. The window takes the PNGs from a Qt resource, the
# desktop's menus from the installed theme folders.
set(ZEMBREL_ICON_SVG ${CMAKE_CURRENT_LIST_DIR}/zembrel.svg)
set(ZEMBREL_ICON_SIZES 16 22 24 32 48 64 128 256)
set(ZEMBREL_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)

# Adds the commands that make the PNGs, in the directory that calls it (the target that uses
# them must be defined there), and sets out_var to their paths.
function(zembrel_render_icons out_var)
    find_program(RSVG_CONVERT rsvg-convert REQUIRED)
    set(pngs)
    foreach(size ${ZEMBREL_ICON_SIZES})
        set(folder ${ZEMBREL_ICON_DIR}/${size}x${size}/apps)
        add_custom_command(OUTPUT ${folder}/zembrel.png
            COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
            COMMAND ${RSVG_CONVERT} --width=${size} --height=${size}
                    --output=${folder}/zembrel.png ${ZEMBREL_ICON_SVG}
            DEPENDS ${ZEMBREL_ICON_SVG}
            COMMENT "Rasterising the icon at ${size} px"
            VERBATIM)
        list(APPEND pngs ${folder}/zembrel.png)
    endforeach()
    set(${out_var} ${pngs} PARENT_SCOPE)
endfunction()

# Sets out_var to the sources of a Qt resource "zembrel_icon" that holds the PNGs as
# :/icons/<size>x<size>/apps/zembrel.png. In a static library nothing refers to a resource, so
# its user calls Q_INIT_RESOURCE(zembrel_icon) once.
function(zembrel_icon_resource out_var)
    zembrel_render_icons(pngs)
    set(entries)
    foreach(png ${pngs})
        file(RELATIVE_PATH alias ${ZEMBREL_ICON_DIR} ${png})
        string(APPEND entries "    <file alias=\"${alias}\">${png}</file>\n")
    endforeach()
    set(qrc ${CMAKE_CURRENT_BINARY_DIR}/zembrel_icon.qrc)
    file(CONFIGURE OUTPUT ${qrc}
         CONTENT "<RCC>\n  <qresource prefix=\"/icons\">\n${entries}  </qresource>\n</RCC>\n")
    qt_add_resources(sources ${qrc})
    set(${out_var} ${sources} PARENT_SCOPE)
endfunction()
