# Reading CHANGELOG.md, whose entries start "## VERSION (YYYY-MM-DD HH:MM)", newest
# first, the time in UTC.
set(VORNSET_RELEASE_PATTERN "^## ([^ ]+) \\(([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]) ([0-9][0-9]):([0-9][0-9])\\)$")

# The seconds from 1970-01-01 to a time given as YYYY-MM-DD HH:MM, in UTC.
function(vornset_epoch_of time result)
    if(NOT time MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9]) ([0-9][0-9]):([0-9][0-9])$")
        message(FATAL_ERROR "not a time: ${time}")
    endif()
    set(year ${CMAKE_MATCH_1})
    set(month ${CMAKE_MATCH_2})
    set(day ${CMAKE_MATCH_3})
    set(hour ${CMAKE_MATCH_4})
    set(minute ${CMAKE_MATCH_5})
    # Read as 1NN - 100, so that a leading zero does not make math() read octal.
    foreach(part month day hour minute)
        math(EXPR ${part} "1${${part}} - 100")
    endforeach()
    # Days from the civil date, counting years from March so that leap days come last.
    if(month LESS_EQUAL 2)
        math(EXPR year "${year} - 1")
    endif()
    math(EXPR era "${year} / 400")
    math(EXPR year_of_era "${year} - ${era} * 400")
    math(EXPR day_of_year "(153 * ((${month} + 9) % 12) + 2) / 5 + ${day} - 1")
    math(EXPR day_of_era "${year_of_era} * 365 + ${year_of_era} / 4 - ${year_of_era} / 100 + ${day_of_year}")
    math(EXPR seconds "(${era} * 146097 + ${day_of_era} - 719468) * 86400 + ${hour} * 3600 + ${minute} * 60")
    set(${result} ${seconds} PARENT_SCOPE)
endfunction()

# The newest entry, the release: sets PREFIX_VERSION, PREFIX_DATE (YYYY-MM-DD) and
# PREFIX_EPOCH, its time in seconds since 1970, which SOURCE_DATE_EPOCH takes.
function(vornset_newest_release changelog prefix)
    file(STRINGS ${changelog} newest REGEX "^## " LIMIT_COUNT 1)
    if(NOT newest MATCHES "${VORNSET_RELEASE_PATTERN}")
        message(FATAL_ERROR "${changelog}: the newest entry, \"${newest}\", is not \"## VERSION (YYYY-MM-DD HH:MM)\"")
    endif()
    set(${prefix}_VERSION ${CMAKE_MATCH_1} PARENT_SCOPE)
    set(${prefix}_DATE ${CMAKE_MATCH_2} PARENT_SCOPE)
    vornset_epoch_of("${CMAKE_MATCH_2} ${CMAKE_MATCH_3}:${CMAKE_MATCH_4}" epoch)
    # The packages' files carry this time; dated later than now, each build would find
    # its own files older than the sources and never end.
    string(TIMESTAMP now "%s" UTC)
    if(epoch GREATER now)
        message(FATAL_ERROR "${changelog}: the newest entry, \"${newest}\", is dated later than now")
    endif()
    set(${prefix}_EPOCH ${epoch} PARENT_SCOPE)
endfunction()
