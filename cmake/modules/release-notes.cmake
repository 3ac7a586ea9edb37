# Reads the release notes, CHANGELOG.md, into variables, for the Debian
# changelog, the metainfo, the manual page and any other package's changelog:
#   RELEASE_NOTES_VERSIONS            every version, the newest first
#   RELEASE_NOTES_<version>_DATE      its date, as 2026-12-09
#   RELEASE_NOTES_<version>_STAMP     that day at noon UTC, as changelogs date
#                                     it: Wed, 09 Dec 2026 12:00:00 +0000
#   RELEASE_NOTES_<version>_TEXT      its notes: "- " items, continued on lines
#                                     indented by two blanks
# The dates are the file's, not the clock's, so every build says the same.
# A file that Debian's and RPM's changelogs could not take whole stops here,
# before anything is built: entries not newest first (each of a lower version
# than the one above it, and of no later day), an entry without notes, a line
# of them longer than 76 characters (80 once indented as Debian's), or a date
# that is not a day of the calendar.
function(read_release_notes file)
  cmake_path(NORMAL_PATH file)
  file(READ ${file} left)
  string(PREPEND left "\n")
  set(versions)
  set(newer)
  string(FIND "${left}" "\n## " start)
  string(REPEAT "[^\n]" 77 too_long)
  while(start GREATER -1)
    math(EXPR start "${start} + 1")
    string(SUBSTRING "${left}" ${start} -1 left)
    string(FIND "${left}" "\n## " start)
    string(SUBSTRING "${left}" 0 ${start} entry)
    if(NOT entry MATCHES "^## ([0-9]+\\.[0-9]+\\.[0-9]+) - (([0-9][0-9][0-9][0-9])-([01][0-9])-\
([0-3][0-9]))\n\n(- .*)$")
      string(REGEX MATCH "^[^\n]*" entry "${entry}")
      message(FATAL_ERROR "${file}: \"${entry}\" is not \"## <version> - <YYYY-MM-DD>\", "
                          "a blank line and notes begun with \"- \".")
    endif()
    set(version ${CMAKE_MATCH_1})
    set(released ${CMAKE_MATCH_2})
    set(year ${CMAKE_MATCH_3})
    math(EXPR month "1${CMAKE_MATCH_4} - 100")  # without a leading zero, which reads as octal
    math(EXPR day "1${CMAKE_MATCH_5} - 100")
    string(STRIP "${CMAKE_MATCH_6}" text)
    set(date "${CMAKE_MATCH_5} @ ${year} 12:00:00 +0000")
    # The last day of its month, of February in a leap year too.
    set(last 0)
    if(month GREATER 0 AND month LESS 13)
      math(EXPR by_4 "${year} % 4")
      math(EXPR by_100 "${year} % 100")
      math(EXPR by_400 "${year} % 400")
      set(days_in_months 31 28 31 30 31 30 31 31 30 31 30 31)
      if(by_4 EQUAL 0 AND (NOT by_100 EQUAL 0 OR by_400 EQUAL 0))
        set(days_in_months 31 29 31 30 31 30 31 31 30 31 30 31)
      endif()
      math(EXPR last "${month} - 1")
      list(GET days_in_months ${last} last)
    endif()
    if(NOT day GREATER 0 OR day GREATER last)
      message(FATAL_ERROR "${file}: ${version} is dated ${released}, which is no day of the "
                          "calendar (YYYY-MM-DD).")
    endif()
    if(newer AND (NOT version VERSION_LESS newer OR released STRGREATER newer_released))
      message(FATAL_ERROR "${file}: ${version} (${released}) is below ${newer} "
                          "(${newer_released}), so it must be of a lower version and no later "
                          "day: the newest release comes first.")
    endif()
    if(NOT "\n${text}\n" MATCHES "^(\n(- |  )[^ \n][^\n]*)+\n$")
      message(FATAL_ERROR "${file}: the notes of ${version} are not \"- \" items with text, each "
                          "continued on lines indented by two blanks.")
    endif()
    if(text MATCHES "${too_long}")
      message(FATAL_ERROR "${file}: a line of the notes of ${version} is longer than 76 "
                          "characters.")
    endif()
    list(APPEND versions ${version})
    set(newer ${version})
    set(newer_released ${released})
    set(RELEASE_NOTES_${version}_DATE ${released} PARENT_SCOPE)
    set(RELEASE_NOTES_${version}_TEXT "${text}" PARENT_SCOPE)
    # The days since 1970-01-01, a Thursday, in years that begin in March, so
    # that a leap day ends its year.
    if(month LESS_EQUAL 2)
      math(EXPR year "${year} - 1")
    endif()
    math(EXPR days "365 * ${year} + ${year} / 4 - ${year} / 100 + ${year} / 400 \
                    + (153 * ((${month} + 9) % 12) + 2) / 5 + ${day} - 719469")
    math(EXPR weekday "(${days} + 4) % 7")
    math(EXPR month "${month} - 1")
    set(weekdays Sun Mon Tue Wed Thu Fri Sat)
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(GET weekdays ${weekday} weekday)
    list(GET months ${month} month)
    string(REPLACE "@" "${month}" date "${weekday}, ${date}")
    set(RELEASE_NOTES_${version}_STAMP "${date}" PARENT_SCOPE)
  endwhile()
  set(RELEASE_NOTES_VERSIONS ${versions} PARENT_SCOPE)
endfunction()

read_release_notes(${CMAKE_CURRENT_LIST_DIR}/../../CHANGELOG.md)
