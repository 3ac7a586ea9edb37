# Reads the release notes, CHANGELOG.md, into variables, for the Debian
# changelog, the metainfo, the manual page and any other package's changelog.
# Reads PROJECT_VERSION, the version built, which must have an entry. Sets:
#   RELEASE_NOTES_VERSIONS            that version and every earlier one, the
#                                     newest first
#   RELEASE_NOTES_<version>_DATE      its date, as 2026-12-09
#   RELEASE_NOTES_<version>_STAMP     that day at noon UTC, as changelogs date
#                                     it: Wed, 09 Dec 2026 12:00:00 +0000
#   RELEASE_NOTES_<version>_TEXT      its notes: "- " items, continued on lines
#                                     indented by two blanks, each line ended
# The dates are the file's, not the clock's, so every build says the same.
# A file that Debian's and RPM's changelogs could not take whole stops here,
# before anything is built, at the line at fault: entries not newest first
# (each of a lower version than the one above it, and of no later day), an
# entry without notes, a line of them longer than 76 characters (80 once
# indented as Debian's), or a date that is not a day of the calendar.
include(${CMAKE_CURRENT_LIST_DIR}/lines.cmake)

# Reads a heading: string(TIMESTAMP) names the day and its weekday, and
# proves the day real by giving the date back.
macro(read_heading)
  if(NOT line MATCHES "^## ([0-9]+\\.[0-9]+\\.[0-9]+) - (([0-9][0-9][0-9][0-9])-([0-9][0-9])-\
([0-9][0-9]))$")
    message(FATAL_ERROR "${at} \"${line}\" is not \"## <version> - <YYYY-MM-DD>\".")
  endif()
  set(version ${CMAKE_MATCH_1})
  set(released ${CMAKE_MATCH_2})
  set(RELEASE_NOTES_${version}_TEXT "")  # whatever the includer had
  # The day's number, from a year begun in March so that a leap day ends it,
  # read without leading zeros, which would be octal.
  math(EXPR month "1${CMAKE_MATCH_4} - 100")
  math(EXPR year "1${CMAKE_MATCH_3} - 10000 - (14 - ${month}) / 12")
  math(EXPR noon "(365 * ${year} + ${year} / 4 - ${year} / 100 + ${year} / 400 - 719469
                  + (153 * ((${month} + 9) % 12) + 2) / 5 + 1${CMAKE_MATCH_5} - 100) * 86400
                  + 43200")
  set(ENV{SOURCE_DATE_EPOCH} ${noon})
  string(TIMESTAMP day "%Y-%m-%d" UTC)
  if(NOT day STREQUAL released)
    message(FATAL_ERROR "${at} ${version} is dated ${released}, which is no day of the calendar.")
  endif()
  if(DEFINED newer AND (NOT version VERSION_LESS newer OR released STRGREATER newer_released))
    message(FATAL_ERROR "${at} ${version} (${released}) is below ${newer} (${newer_released}), so "
                        "it must be of a lower version and no later day: the newest comes first.")
  endif()
  string(TIMESTAMP stamp "%a, %d %b %Y %H:%M:%S +0000" UTC)
  set(RELEASE_NOTES_${version}_STAMP "${stamp}" PARENT_SCOPE)
  set(RELEASE_NOTES_${version}_DATE ${released} PARENT_SCOPE)
  list(APPEND versions ${version})
  set(newer ${version})
  set(newer_released ${released})
endmacro()

# Reads the file a line at a time, each as what may follow the line before:
# the introduction, a heading, the blank line under it, its notes, and the
# blank lines that end them.
function(read_release_notes file)
  cmake_path(NORMAL_PATH file)
  file(READ ${file} left)
  string(REGEX REPLACE "([^\n])$" "\\1\n" left "${left}")  # each line ends in a line end
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")  # put back below: the build reads it too
  string(ASCII 128 45 191 continuing)  # 128-191: the bytes that continue a character in UTF-8
  set(number 0)
  set(versions)
  unset(newer)
  set(after introduction)
  while(NOT left STREQUAL "")
    pop_line(left line)
    math(EXPR number "${number} + 1")
    set(at "${file}:${number}:")
    if(line MATCHES "^## " AND after MATCHES "introduction|notes|end")
      read_heading()
      set(heading ${at})
      set(after heading)
    elseif(after STREQUAL "introduction" OR (after MATCHES "notes|end" AND line STREQUAL ""))
      string(REPLACE notes end after ${after})
    elseif(after STREQUAL "heading" AND line STREQUAL "")
      set(after blank)
    elseif(NOT "${after}:${line}" MATCHES "^(blank|notes):- [^ ]|^notes:  [^ ]")
      message(FATAL_ERROR "${at} \"${line}\" is out of place: a heading, a blank line, then \"- \" "
                          "items with text, continued on lines indented by two blanks, no blank.")
    else()
      string(REGEX REPLACE "[${continuing}]" "" characters "${line}")
      string(LENGTH "${characters}" length)
      if(length GREATER 76)
        message(FATAL_ERROR "${at} \"${line}\" is longer than 76 characters.")
      endif()
      string(APPEND RELEASE_NOTES_${version}_TEXT "${line}\n")
      set(RELEASE_NOTES_${version}_TEXT "${RELEASE_NOTES_${version}_TEXT}" PARENT_SCOPE)
      set(after notes)
    endif()
  endwhile()
  if(after MATCHES "heading|blank")
    message(FATAL_ERROR "${heading} ${version} has no notes: a blank line and \"- \" items belong "
                        "under its heading.")
  endif()
  # Set to "", it would still be defined: unset, it stays so where epoch is "".
  unset(ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
  list(FIND versions "${PROJECT_VERSION}" built)
  if(built EQUAL -1)
    message(FATAL_ERROR "CHANGELOG.md has no entry for ${PROJECT_VERSION}, the version in "
                        "CMakeLists.txt: add one, then try again.")
  endif()
  list(SUBLIST versions ${built} -1 RELEASE_NOTES_VERSIONS)
  set(RELEASE_NOTES_VERSIONS ${RELEASE_NOTES_VERSIONS} PARENT_SCOPE)
endfunction()

read_release_notes(${CMAKE_CURRENT_LIST_DIR}/../../CHANGELOG.md)
