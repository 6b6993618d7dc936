# Fails the build when a string or character literal of the program's sources
# (src, fuzz, tools, bench) holds a character outside ASCII. Such characters are
# written as Windows-1252 escapes ("Best\xE4tigen"; tools/escape-literals.py writes
# them), since compilers differ: GCC turns a literal "ä" into 1252 (-fexec-charset),
# Clang keeps it UTF-8, and every build, the fuzz targets' too, must carry the bytes
# that ship. Comments may hold any UTF-8; the tests, built by GCC alone, keep their
# German expectations readable. Run by the target setup_text_check (CMakeLists.txt),
# which every target of ours waits for.
#
#   cmake -DSOURCE_DIR=<top folder> -DSTAMP=<file> -P CheckSourceText.cmake

cmake_minimum_required(VERSION 3.25)

# A byte outside ASCII.
string(ASCII 1 first)
string(ASCII 127 last)
set(non_ascii "[^${first}-${last}]")
# The tokens that matter, each found whole from the left: comments, literals, and
# numbers (whose digit separators start no character literal).
set(token_patterns
    "//[^\n]*"
    "/\\*([^*]|\\*+[^*/])*\\*+/"
    "R\"\\(([^)]|\\)[^\"])*\\)\""
    "\"([^\"\\\\\n]|\\\\.)*\""
    "'([^'\\\\\n]|\\\\.)*'"
    "[0-9][0-9A-Za-z_.']*")
list(JOIN token_patterns "|" token)

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
     ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/fuzz/*.h ${SOURCE_DIR}/fuzz/*.cpp
     ${SOURCE_DIR}/tools/*.h ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/bench/*.h
     ${SOURCE_DIR}/bench/*.cpp)
set(problems "")
foreach(source ${sources})
    file(READ ${SOURCE_DIR}/${source} text)
    if(NOT text MATCHES "${non_ascii}")
        continue()
    endif()
    # A ";" would split the list of tokens.
    string(REPLACE ";" "," text "${text}")
    string(REGEX MATCHALL "${token}" tokens "${text}")
    foreach(literal IN LISTS tokens)
        if(literal MATCHES "^R?[\"']" AND literal MATCHES "${non_ascii}")
            string(APPEND problems "  ${source}: ${literal}\n")
        endif()
    endforeach()
endforeach()
if(NOT problems STREQUAL "")
    message(FATAL_ERROR "Characters outside ASCII in literals; write them as escapes "
                        "(tools/escape-literals.py FILE):\n${problems}")
endif()
file(TOUCH ${STAMP})
