# Run by cpack once the package's files are staged (CPACK_PRE_BUILD_SCRIPTS): the Debian changelog,
# signed by the package's maintainer and compressed as Debian installs it. Written here rather than at
# build time, so that the maintainer cpack packs with (QX7MB_MAINTAINER, or cpack -D) is the one it names.
set(maintainer "${CPACK_PACKAGE_CONTACT}")
if(CPACK_DEBIAN_PACKAGE_MAINTAINER)
    set(maintainer "${CPACK_DEBIAN_PACKAGE_MAINTAINER}")
endif()
set(version "${CPACK_PACKAGE_VERSION}")
set(doc "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/${CPACK_PACKAGE_NAME}")
configure_file("${CPACK_QX7MB_CHANGELOG}" "${doc}/changelog" @ONLY)
execute_process(COMMAND gzip -9 -n -f "${doc}/changelog" RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot compress ${doc}/changelog")
endif()
