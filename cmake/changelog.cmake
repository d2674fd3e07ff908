# Reading CHANGELOG.md, whose entries start "## VERSION (YYYY-MM-DD)", newest first.

# The seconds from 1970-01-01 to the start of a day given as YYYY-MM-DD, in UTC.
function(vornset_epoch_of date result)
    if(NOT date MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
        message(FATAL_ERROR "not a date: ${date}")
    endif()
    set(year ${CMAKE_MATCH_1})
    set(month ${CMAKE_MATCH_2})
    set(day ${CMAKE_MATCH_3})
    # Leading zeros would make math() read octal.
    string(REGEX REPLACE "^0" "" month "${month}")
    string(REGEX REPLACE "^0" "" day "${day}")
    # Days from the civil date, counting years from March so that leap days come last.
    if(month LESS_EQUAL 2)
        math(EXPR year "${year} - 1")
    endif()
    math(EXPR era "${year} / 400")
    math(EXPR year_of_era "${year} - ${era} * 400")
    math(EXPR day_of_year "(153 * ((${month} + 9) % 12) + 2) / 5 + ${day} - 1")
    math(EXPR day_of_era "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
    math(EXPR seconds "(${era} * 146097 + ${day_of_era} - 719468) * 86400")
    set(${result} ${seconds} PARENT_SCOPE)
endfunction()

# The version and date of the newest entry.
function(vornset_newest_release changelog version_result date_result)
    file(STRINGS ${changelog} newest REGEX "^## " LIMIT_COUNT 1)
    if(NOT newest MATCHES "^## ([^ ]+) \\(([0-9-]+)\\)$")
        message(FATAL_ERROR "${changelog}: the newest entry, \"${newest}\", is not \"## VERSION (YYYY-MM-DD)\"")
    endif()
    set(${version_result} ${CMAKE_MATCH_1} PARENT_SCOPE)
    set(${date_result} ${CMAKE_MATCH_2} PARENT_SCOPE)
endfunction()
