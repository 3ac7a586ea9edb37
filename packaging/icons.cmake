# Every icon of the game is drawn here from tolvane.svg, each size drawn
# rather than scaled down from the largest, so that the small ones stay sharp:
# - "cmake --build <dir> --target icon" redraws tolvane.exe's icon,
#   windows/tolvane.ico, which is kept in the repository, so that building for
#   Windows needs no tool that Windows lacks. Windows takes 20 and 40 px at
#   125% and 250% scaling; the largest is kept as PNG, which Windows reads, at
#   a fraction of a bitmap's size.
# - draw_web_icons(<folder>) draws the web page's, made by the target icons.
# Sets RSVG_CONVERT and ICOTOOL, the tools' paths where found.
find_program(RSVG_CONVERT rsvg-convert)
find_program(ICOTOOL icotool)
# draw_icon(<list> <png> <rsvg-convert's options>...) draws the PNG, and adds it to the list.
function(draw_icon list png)
  set(svg ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/tolvane.svg)
  add_custom_command(OUTPUT ${png} COMMAND ${RSVG_CONVERT} ${ARGN} -o ${png} ${svg}
                     DEPENDS ${svg} VERBATIM)
  set(${list} ${${list}} ${png} PARENT_SCOPE)
endfunction()

if(RSVG_CONVERT AND ICOTOOL)
  foreach(size IN ITEMS 16 20 24 32 40 48 64 256)
    draw_icon(icon_images ${PROJECT_BINARY_DIR}/icon-${size}.png -w ${size} -h ${size})
  endforeach()
  list(TRANSFORM icon_images PREPEND --raw= REGEX "-256\\.png$" OUTPUT_VARIABLE icotool_images)
  add_custom_target(icon COMMAND ${ICOTOOL} -c -o ${CMAKE_CURRENT_LIST_DIR}/windows/tolvane.ico
                                 ${icotool_images}
                         DEPENDS ${icon_images} VERBATIM)
else()
  add_custom_target(icon COMMAND ${CMAKE_COMMAND} -E echo "The icon is drawn with rsvg-convert and \
icotool (Debian: librsvg2-bin icoutils): install them, then configure again."
                         COMMAND ${CMAKE_COMMAND} -E false)
endif()

# A home screen wants its icons as PNG. The maskable one is the die on a tile
# of its own red, all of it within the circle that any launcher's mask
# leaves; iOS rounds the corners of a full square itself.
function(draw_web_icons folder)
  include(${PROJECT_SOURCE_DIR}/cmake/modules/require.cmake)
  require(rsvg-convert librsvg2-bin "The web page's icons")
  draw_icon(web_icons ${folder}/icon-192.png -w 192 -h 192)
  draw_icon(web_icons ${folder}/icon-512.png -w 512 -h 512)
  draw_icon(web_icons ${folder}/icon-maskable.png -w 352 -h 352 --page-width 512 --page-height 512
            --left 80 --top 80 -b "#b3141c")
  draw_icon(web_icons ${folder}/apple-touch-icon.png -w 180 -h 180 -b "#b3141c")
  add_custom_target(icons ALL DEPENDS ${web_icons})
endfunction()
