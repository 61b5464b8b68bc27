# Release archives, made by CPack from what `cmake --install` installs:
#   cmake --build build/win32 --target package   -> ZelComFuncDbase-<version>-win32.zip
#   cmake --build build/win64 --target package   -> ZelComFuncDbase-<version>-win64.zip
#   cmake --build build/default --target package
#       -> ZelComFuncDbase-<version>-linux-<arch>.tar.gz and zelcomfuncdbase_<version>_<arch>.deb
# packaging/contents.txt lists what each archive must hold;
# scripts/check-archive.py checks an archive against it.

# The README, the licence and the Windows hosts' guide: at the top of a
# Windows archive, where a Windows developer looks; in the documentation
# directory elsewhere.
if(WIN32)
    set(ZEL_DOC_DESTINATION .)
else()
    set(ZEL_DOC_DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
install(FILES README.md LICENSE DESTINATION ${ZEL_DOC_DESTINATION})
if(WIN32)
    install(FILES doc/windows-hosts.md DESTINATION doc)
endif()

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "The ZelComFuncDbase authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Reads CPU model and OS variant database files (OSDB, JQWDB); the zelcomdb tool")
set(CPACK_PACKAGE_CONTACT "The ZelComFuncDbase authors <zelcomfuncdbase@localhost>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
# Without the debug information of the build (hosts' debuggers cannot read
# MinGW's DWARF anyway): a fraction of the size.
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")

if(WIN32)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(ZEL_PACKAGE_SYSTEM win32)
    else()
        set(ZEL_PACKAGE_SYSTEM win64)
    endif()
    set(CPACK_GENERATOR ZIP)
else()
    set(ZEL_PACKAGE_SYSTEM linux-${CMAKE_SYSTEM_PROCESSOR})
    set(CPACK_GENERATOR TGZ)
    find_program(ZEL_DPKG_SHLIBDEPS dpkg-shlibdeps)
    if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND ZEL_DPKG_SHLIBDEPS)
        list(APPEND CPACK_GENERATOR DEB)
    endif()
endif()
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-${ZEL_PACKAGE_SYSTEM})

# The Debian package installs under /usr (CPack's default for it), its
# dependencies found by dpkg-shlibdeps from what the library and the tool
# link; the tool's link to the library is inside the package.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME zelcomfuncdbase)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/lib)

include(CPack)
