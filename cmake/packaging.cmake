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
# without linking to it is named here: the platform integrations and Qt's own
# Chinese texts. Wayland's is a dependency, not a recommendation: on a Wayland
# desktop without an X server the program cannot start without it, and installs
# that leave recommendations out would leave it out. The program carries its
# Song face; a system CJK face only draws text pasted into the boxes that the
# program's face lacks, hence a recommendation.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")

# Debian wants the licences at /usr/share/doc/<package>/copyright: the program's,
# then the font licence of the Song face built into the executable.
set(ferolune_copyright ${CMAKE_CURRENT_BINARY_DIR}/copyright)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/ui/fonts/OFL.txt)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE program_licence)
file(READ ${PROJECT_SOURCE_DIR}/ui/fonts/OFL.txt font_licence)
file(WRITE ${ferolune_copyright} "Ferolune is under the MIT License:\n\n${program_licence}
-------------------------------------------------------------------------------

The Song face built into /usr/bin/ferolune is under the SIL Open Font License 1.1:

${font_licence}")
install(FILES ${ferolune_copyright}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ferolune)

include(CPack)
