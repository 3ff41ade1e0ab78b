# The native program as a desktop program: the program, its desktop entry,
# metainfo, icons, manual page, copyright and changelog, installed under any
# prefix; packed as peerkin_<version>_<arch>.deb, peerkin-<version>-1.<machine>.rpm
# and a .tar.gz of the same tree.

# Debian keeps a package's documents under its package name, not under the
# CMake project's capitalised one.
if(NOT DEFINED CMAKE_INSTALL_DOCDIR)
  set(CMAKE_INSTALL_DOCDIR share/doc/peerkin CACHE PATH "Documentation (share/doc/peerkin)")
endif()
include(GNUInstallDirs)
find_program(PEERKIN_GZIP gzip REQUIRED)

set(PEERKIN_LINUX_DIR ${CMAKE_CURRENT_SOURCE_DIR}/linux)
# Directories made by the install get the usual 0755, whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# peerkin_install_gzipped(source destination): the file configured with the
# version, compressed as Debian wants documents (best, no name or time
# stamp, so the same text gives the same bytes).
function(peerkin_install_gzipped source destination)
  get_filename_component(name ${source} NAME_WLE)
  set(text ${CMAKE_CURRENT_BINARY_DIR}/${name})
  configure_file(${source} ${text} @ONLY)
  execute_process(COMMAND ${PEERKIN_GZIP} -9nc ${text} OUTPUT_FILE ${text}.gz COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${text}.gz DESTINATION ${destination} COMPONENT ${PEERKIN_COMPONENT})
endfunction()

# Each committed peerkin-<size>.png becomes the theme's <size>x<size> icon.
function(peerkin_install_icons)
  file(GLOB icons ${PEERKIN_LINUX_DIR}/icons/peerkin-*.png)
  foreach(icon IN LISTS icons)
    string(REGEX REPLACE ".*peerkin-([0-9]+)\\.png$" "\\1" size ${icon})
    install(FILES ${icon} RENAME ${PEERKIN_APP_ID}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT ${PEERKIN_COMPONENT})
  endforeach()
endfunction()

function(peerkin_install_linux)
  install(TARGETS peerkin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${PEERKIN_COMPONENT})
  install(FILES ${PEERKIN_LINUX_DIR}/${PEERKIN_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT ${PEERKIN_COMPONENT})
  configure_file(${PEERKIN_LINUX_DIR}/${PEERKIN_APP_ID}.metainfo.xml.in ${PEERKIN_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${PEERKIN_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT ${PEERKIN_COMPONENT})
  peerkin_install_icons()
  peerkin_install_gzipped(${PEERKIN_LINUX_DIR}/peerkin.1.in ${CMAKE_INSTALL_MANDIR}/man1)
  peerkin_install_gzipped(${PEERKIN_LINUX_DIR}/changelog.in ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${PEERKIN_LINUX_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT ${PEERKIN_COMPONENT})
  # The helpers that report the pointer on Wayland desktops (desktop-helpers/).
  install(DIRECTORY ${PEERKIN_HELPERS_SHARE}/gnome-shell ${PEERKIN_HELPERS_SHARE}/peerkin
    DESTINATION ${CMAKE_INSTALL_DATADIR} COMPONENT ${PEERKIN_COMPONENT})
endfunction()

function(peerkin_describe_linux_packages)
  set(CPACK_GENERATOR DEB RPM TGZ PARENT_SCOPE)
  set(CPACK_PACKAGE_NAME peerkin PARENT_SCOPE)
  set(summary "desktop companion whose red eyes follow the mouse pointer")
  set(description [[
Orlo's Peerkin shows a polished-metal face in a window cut to the face's
outline and kept above all other windows. Its red eyes follow the mouse
pointer anywhere on the screen. Drag it with the left mouse button;
double-click it to store its position and close it, and the next start
puts it back there. Only one copy runs at a time.]])
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${summary} PARENT_SCOPE)
  set(CPACK_PACKAGE_DESCRIPTION ${description} PARENT_SCOPE)
  # The .tar.gz, for other distributions: the installed tree in one folder.
  set(CPACK_PACKAGE_FILE_NAME peerkin-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR} PARENT_SCOPE)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT PARENT_SCOPE)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PEERKIN_MAINTAINER} PARENT_SCOPE)
  set(CPACK_DEBIAN_PACKAGE_SECTION x11 PARENT_SCOPE)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional PARENT_SCOPE)
  # The libraries the program links, as dpkg-shlibdeps finds them in it.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON PARENT_SCOPE)

  # The RPM, for Fedora, openSUSE and the others: the same text, with the
  # capital that RPM summaries start with where Debian's do not.
  set(CPACK_RPM_FILE_NAME RPM-DEFAULT PARENT_SCOPE)
  set(release 1)
  set(CPACK_RPM_PACKAGE_RELEASE ${release} PARENT_SCOPE)
  string(SUBSTRING ${summary} 0 1 first)
  string(TOUPPER ${first} first)
  string(SUBSTRING ${summary} 1 -1 rest)
  set(CPACK_RPM_PACKAGE_SUMMARY ${first}${rest} PARENT_SCOPE)
  set(CPACK_RPM_PACKAGE_DESCRIPTION ${description} PARENT_SCOPE)
  set(CPACK_RPM_PACKAGE_LICENSE ${PEERKIN_LICENSE} PARENT_SCOPE)
  set(CPACK_RPM_PACKAGE_GROUP "Amusements/Toys/Other" PARENT_SCOPE)
  # Its desktop entry, icons and extensions count only under /usr, where the
  # desktops look for them: no installing it under another prefix.
  set(CPACK_PACKAGE_RELOCATABLE OFF PARENT_SCOPE)
  # The packager is the maintainer, as for the .deb. The RPM holds the very
  # files of the .deb, byte for byte: without rpm's links from the program's
  # build id under /usr/lib/.build-id (which would clash with any other
  # package of the same program), and without rpmbuild's clean-up of the
  # installed tree, which would strip the compiler's notes from the program
  # that the tests ran.
  set(CPACK_RPM_SPEC_MORE_DEFINE
    "%define packager ${PEERKIN_MAINTAINER}\n%define _build_id_links none\n%define __os_install_post %{nil}" PARENT_SCOPE)
  # The libraries the program links, as rpmbuild's find-requires finds them
  # in it (libX11.so.6()(64bit) and the like), which every RPM distribution
  # resolves to its own package names.
  set(CPACK_RPM_PACKAGE_AUTOREQ ON PARENT_SCOPE)
  # Directories that the distributions' own filesystem package holds: the
  # package must not own them, or removing it would take them away when empty.
  # Every other folder it makes it owns, so that `rpm -e` leaves nothing
  # behind; the icon theme's size folders and GNOME Shell's extensions folder
  # it shares with the packages of the theme and of the Shell, as rpm allows.
  set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
    /usr/share/applications /usr/share/icons /usr/share/man /usr/share/man/man1 /usr/share/metainfo PARENT_SCOPE)
  # The copyright stays when documents are left out (dnf's nodocs); the
  # package lives under /usr, as it is not relocatable.
  set(CPACK_RPM_USER_FILELIST "%license /usr/${CMAKE_INSTALL_DOCDIR}/copyright" PARENT_SCOPE)
  file(CONFIGURE OUTPUT rpm-changelog CONTENT [[
* @PEERKIN_RPM_CHANGELOG_DATE@ @PEERKIN_MAINTAINER@ - @PROJECT_VERSION@-@release@
- Release @PROJECT_VERSION@. The changes are in the project's history.
]] @ONLY)
  set(CPACK_RPM_CHANGELOG_FILE ${CMAKE_CURRENT_BINARY_DIR}/rpm-changelog PARENT_SCOPE)
endfunction()

peerkin_install_linux()
peerkin_describe_linux_packages()

# The packages as a release makes them, checked by Debian's and the desktops'
# validators: only a release build (stripped, no sanitizers) is what users get.
if(PEERKIN_TESTS AND CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT PEERKIN_SANITIZE)
  # The packages it makes, for the tests that install them.
  set(PEERKIN_PACKAGE_CHECK ${CMAKE_CURRENT_BINARY_DIR}/package-check)
  set_property(GLOBAL PROPERTY PEERKIN_PACKAGE_CHECK ${PEERKIN_PACKAGE_CHECK})
  add_test(NAME linux_packages
    COMMAND bash ${PEERKIN_LINUX_DIR}/check-packages.sh ${CMAKE_BINARY_DIR} ${PEERKIN_PACKAGE_CHECK})
  set_tests_properties(linux_packages PROPERTIES TIMEOUT 300 FIXTURES_SETUP linux_packages)
  # The package as a user installs it, then the installed program at work.
  find_package(Python3 COMPONENTS Interpreter REQUIRED)
  add_test(NAME e2e_installed COMMAND ${Python3_EXECUTABLE} -m unittest -v test_installed
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/tests/e2e)
  set_tests_properties(e2e_installed PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE FIXTURES_REQUIRED linux_packages
    ENVIRONMENT "PEERKIN_PACKAGES=${PEERKIN_PACKAGE_CHECK}")
endif()
