# The Debian package (cpack -G DEB, run by scripts/package): whatever `cmake --install` puts in
# place, except the demo site, which stays a developer's tool. Included last, once every install()
# is known, so that files other folders install join the package by themselves.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kivaro)
set(CPACK_PACKAGE_VENDOR "The Kivaro developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "Kivaro is a small skinned desktop player: type an artist or a song and
press Enter, and it finds the first video for it on the video site and
plays its sound through mpv. It keeps a recent list and a playlist,
wears skins, and shows what plays in the desktop's media controls (MPRIS).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Kivaro developers <developers@kivaro.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kivaro.com")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The player the program starts by default; any other can be named with --player.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS mpv)

get_cmake_property(kivaro_components COMPONENTS)
list(REMOVE_ITEM kivaro_components demo)
set(CPACK_COMPONENTS_ALL ${kivaro_components})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

include(CPack)
