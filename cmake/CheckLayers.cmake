# Fails the build when a source file under src/ includes a header of a layer it
# must not see. Run by the target setup_layer_check (src/CMakeLists.txt), which
# every library of the tree waits for.
#
#   cmake -DSOURCE_DIR=<src> -DSTAMP=<file> -P CheckLayers.cmake
#
# A folder's layer is the longest entry of SETUP_LAYERS that its path starts with;
# a file may include its own layer's headers and those of the layers listed for it.

cmake_minimum_required(VERSION 3.25)

set(SETUP_LAYERS base platform platform/posix platform/win32 app install shell controls system zip
                 uninstall ui/headless ui/win32 entry entry/uninstall)
# Each list holds exactly the layers the folder's files include today: a new
# dependency is a change of this table (and of docs/architecture.md), made on purpose.
set(allowed_base "")
set(allowed_platform base)
set(allowed_platform/posix platform base)
set(allowed_platform/win32 platform)
set(allowed_system platform base)
set(allowed_zip platform base)
set(allowed_controls system platform base)
set(allowed_app controls system platform base)
set(allowed_install app zip system platform)
set(allowed_shell app system platform base)
set(allowed_uninstall app system platform base)
set(allowed_ui/headless uninstall app install controls system zip platform base)
set(allowed_ui/win32 app controls system platform platform/win32)
set(allowed_entry ui/win32 app platform platform/win32)
set(allowed_entry/uninstall uninstall ui/win32 platform platform/win32)

# The layer of a path relative to src/ ("" when none matches).
function(layer_of path out)
    set(best "")
    foreach(layer ${SETUP_LAYERS})
        string(LENGTH "${layer}" length)
        string(SUBSTRING "${path}" 0 ${length} head)
        string(LENGTH "${best}" best_length)
        if(head STREQUAL layer AND path MATCHES "^${layer}/" AND length GREATER best_length)
            set(best ${layer})
        endif()
    endforeach()
    set(${out} "${best}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(problems "")
foreach(source ${sources})
    layer_of(${source} own)
    if(own STREQUAL "")
        continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
        layer_of(${header} theirs)
        if(theirs STREQUAL "" OR theirs STREQUAL own OR theirs IN_LIST allowed_${own})
            continue()
        endif()
        string(APPEND problems "  src/${source}: ${own} may not include \"${header}\" (${theirs})\n")
    endforeach()
endforeach()
if(problems)
    message(FATAL_ERROR "Includes against the layering:\n${problems}")
endif()
file(TOUCH ${STAMP})
