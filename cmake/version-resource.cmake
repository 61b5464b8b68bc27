# zel_version_resource(TARGET DESCRIPTION): gives a Windows DLL or program of
# the project a VERSIONINFO resource with the project's version as file and
# product version, the project's name as product name and DESCRIPTION.
enable_language(RC)

function(zel_version_resource target description)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "SHARED_LIBRARY")
        set(ZEL_RC_FILETYPE VFT_DLL)
        set(suffix .dll)
    else()
        set(ZEL_RC_FILETYPE VFT_APP)
        set(suffix .exe)
    endif()
    get_target_property(ZEL_RC_INTERNAL_NAME ${target} OUTPUT_NAME)
    if(NOT ZEL_RC_INTERNAL_NAME)
        set(ZEL_RC_INTERNAL_NAME ${target})
    endif()
    set(ZEL_RC_FILE_NAME ${ZEL_RC_INTERNAL_NAME}${suffix})
    set(ZEL_RC_DESCRIPTION "${description}")
    set(ZEL_RC_VERSION
        "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
    set(rc ${PROJECT_BINARY_DIR}/generated/${target}-version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/version-resource.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
