# Prints the release that the build makes, as it reads it from CHANGELOG.md: its
# version and its time in seconds since 1970, on one line, for the scripts.
#
#   cmake -P cmake/release.cmake      prints, say, "0.9 1796727600"
include(${CMAKE_CURRENT_LIST_DIR}/changelog.cmake)
vornset_newest_release(${CMAKE_CURRENT_LIST_DIR}/../CHANGELOG.md release)
execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${release_VERSION} ${release_EPOCH}")
