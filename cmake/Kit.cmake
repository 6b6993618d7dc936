# The vendor's kit: what `cmake --install` puts into a folder and CPack packs as
# setup-kit-VERSION.zip (tools/kit.sh). The Windows build installs its programs,
# the documents, the examples as sources, the licence, the notices and the
# changes; a native build installs the Linux programs (medium, simulator).
# tools/kit.sh packs an optimised native build together with the Windows build.
# Every program is installed when its target exists, so a tool added later comes
# along without a change here.
#
# Layout of the kit (every program at the top, where docs/first-medium.md says):
#   Setup.exe Uninstall.exe medium.exe ziptool.exe   the Windows programs
#   medium simulator                                 the Linux programs
#   docs/ examples/ LICENSE THIRD-PARTY-NOTICES CHANGES.md README.txt
# kit_programs builds the programs a build tree contributes (tools/kit.sh).
add_custom_target(kit_programs)
if(WIN32)
    foreach(program Setup Uninstall medium ziptool)
        if(TARGET ${program})
            install(TARGETS ${program} RUNTIME DESTINATION .)
            add_dependencies(kit_programs ${program})
        endif()
    endforeach()
    install(FILES docs/setup-ini.md docs/simulator.md docs/first-medium.md DESTINATION docs)
    install(DIRECTORY examples/ DESTINATION examples)
    install(FILES LICENSE THIRD-PARTY-NOTICES CHANGES.md DESTINATION .)
    install(FILES cmake/KitReadme.txt DESTINATION . RENAME README.txt)
else()
    foreach(program medium simulator)
        if(TARGET ${program})
            install(TARGETS ${program} RUNTIME DESTINATION .)
            # The optimised build links them without symbols, as the Windows
            # programs are (the installed files are the built ones, byte for byte).
            if(CMAKE_BUILD_TYPE STREQUAL "Release")
                target_link_options(${program} PRIVATE -s)
            endif()
            add_dependencies(kit_programs ${program})
        endif()
    endforeach()
endif()

set(CPACK_PACKAGE_NAME setup-kit)
set(CPACK_PACKAGE_VENDOR "the Setup authors")
set(CPACK_PACKAGE_FILE_NAME setup-kit-${PROJECT_VERSION})
set(CPACK_GENERATOR ZIP)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# The archive holds one folder, setup-kit-VERSION/, as a vendor expects to unpack.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
