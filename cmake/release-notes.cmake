# Reads the release notes, CHANGELOG.md, into variables, for the Debian
# changelog, the metainfo, the manual page and any other package's changelog:
#   RELEASE_NOTES_VERSIONS            every version, the newest first
#   RELEASE_NOTES_<version>_DATE      its date, as 2026-12-09
#   RELEASE_NOTES_<version>_STAMP     that day at noon UTC, as changelogs date
#                                     it: Wed, 09 Dec 2026 12:00:00 +0000
#   RELEASE_NOTES_<version>_TEXT      its notes: "- " items, continued on lines
#                                     indented by two blanks
# The dates are the file's, not the clock's, so every build says the same.
function(read_release_notes file)
  file(READ ${file} left)
  string(PREPEND left "\n")
  set(versions)
  string(FIND "${left}" "\n## " start)
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
    list(APPEND versions ${version})
    set(RELEASE_NOTES_${version}_DATE ${CMAKE_MATCH_2} PARENT_SCOPE)
    string(STRIP "${CMAKE_MATCH_6}" text)
    set(RELEASE_NOTES_${version}_TEXT "${text}" PARENT_SCOPE)
    set(year ${CMAKE_MATCH_3})
    set(date "${CMAKE_MATCH_5} @ ${CMAKE_MATCH_3} 12:00:00 +0000")
    math(EXPR month "1${CMAKE_MATCH_4} - 100")  # without a leading zero, which reads as octal
    math(EXPR day "1${CMAKE_MATCH_5} - 100")
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

read_release_notes(${CMAKE_CURRENT_LIST_DIR}/../CHANGELOG.md)
