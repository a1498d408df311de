# Debian package: `cpack -G DEB` in a build folder makes ferolune_<version>_<arch>.deb
# from the install rules.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ferolune)
set(CPACK_PACKAGE_VENDOR "The Ferolune developers")
set(CPACK_PACKAGE_CONTACT "The Ferolune developers <maintainers@ferolune.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "timing calculator for the 555 astable multivibrator")
set(CPACK_PACKAGE_DESCRIPTION
    "Ferolune computes the charge time, the discharge time and the period of a\n\
555 timer wired as an astable multivibrator from its two timing resistances\n\
and its timing capacitance. Its windows are in Simplified Chinese.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries come from dpkg-shlibdeps; what the program loads at run time
# without linking to it is named here: the platform integration, the Song-style
# CJK face that stands in for SimSun, and Qt's own Chinese texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk, qt6-translations-l10n")

# Debian wants the licence at /usr/share/doc/<package>/copyright.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ferolune
    RENAME copyright)

include(CPack)
