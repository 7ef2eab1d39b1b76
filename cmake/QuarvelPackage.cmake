# Manual pages, install rules and the Debian packages (`cmake --build build
# --target package`, or `make package`):
#   quarvel         the window, quarvelctl, the shipped data in /usr/share/quarvel,
#                   desktop entry, icons, AppStream metainfo, manuals, bash completion
#   quarvel-server  tarvo-server, its manual and a systemd unit (not enabled)
# Packages are laid out from "/", so that the unit and /etc/default land where
# systemd and dpkg expect them.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(QUARVEL_RSVG rsvg-convert)
find_program(QUARVEL_GZIP gzip REQUIRED)

set(man_dir ${PROJECT_BINARY_DIR}/share/man/man1)
set(desktop_src ${PROJECT_SOURCE_DIR}/data/desktop)
set(server_src ${PROJECT_SOURCE_DIR}/data/server)
set(app_id org.quarvel.Quarvel)

# The manual of a program is its --help text, made after each build of it.
set(manuals)
function(quarvel_manual program summary)
  set(page ${man_dir}/${program}.1.gz)
  add_custom_command(
    OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${man_dir}
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/data/man/make_man.py $<TARGET_FILE:${program}> ${program}
            ${summary} ${PROJECT_VERSION} ${page}
    DEPENDS ${program} ${PROJECT_SOURCE_DIR}/data/man/make_man.py
    COMMENT "Making the manual page of ${program}"
    VERBATIM)
  set(manuals ${manuals} ${page} PARENT_SCOPE)
endfunction()

if(TARGET quarvel)
  quarvel_manual(quarvel "the courier counter client")
endif()
quarvel_manual(quarvelctl "command-line companion of the courier counter client")
quarvel_manual(tarvo-server "stand-in company server for the courier counter client")

# PNG icons for the hicolor theme, rendered from the SVG.
set(icon_sizes 48 64 128 256)
set(icons)
if(QUARVEL_RSVG)
  foreach(size ${icon_sizes})
    set(png ${PROJECT_BINARY_DIR}/share/icons/${size}/${app_id}.png)
    add_custom_command(
      OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/share/icons/${size}
      COMMAND ${QUARVEL_RSVG} -w ${size} -h ${size} ${desktop_src}/${app_id}.svg -o ${png}
      DEPENDS ${desktop_src}/${app_id}.svg
      VERBATIM)
    list(APPEND icons ${png})
  endforeach()
endif()

# The changelog each package carries, compressed without a time stamp.
set(doc_dir ${PROJECT_BINARY_DIR}/share/doc)
file(WRITE ${doc_dir}/changelog
     "quarvel (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
     "  * Packaged as quarvel and quarvel-server.\n\n"
     " -- Quarvel Packaging <packages@quarvel.org>  Tue, 08 Dec 2026 00:00:00 +0000\n")
add_custom_command(
  OUTPUT ${doc_dir}/changelog.gz
  COMMAND ${QUARVEL_GZIP} -9nf -k ${doc_dir}/changelog
  DEPENDS ${doc_dir}/changelog
  VERBATIM)
configure_file(${desktop_src}/${app_id}.metainfo.xml ${PROJECT_BINARY_DIR}/share/metainfo/${app_id}.metainfo.xml @ONLY)

# Man pages are made by running the programs, which a sanitizer build leaves to the main build.
if(QUARVEL_SANITIZE)
  add_custom_target(quarvel_install_files DEPENDS ${manuals} ${icons} ${doc_dir}/changelog.gz)
else()
  add_custom_target(quarvel_install_files ALL DEPENDS ${manuals} ${icons} ${doc_dir}/changelog.gz)
endif()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)
set(share ${QUARVEL_SHARE_DIR})

# quarvel
if(TARGET quarvel)
  install(TARGETS quarvel quarvelctl RUNTIME DESTINATION usr/bin COMPONENT client)
  install(TARGETS quarvel_office_uno LIBRARY DESTINATION usr/lib/quarvel COMPONENT client)
  install(DIRECTORY ${share}/DATA_MODEL ${share}/DATA_SYS ${share}/fonts DESTINATION usr/share/quarvel
          COMPONENT client)
  install(FILES ${desktop_src}/${app_id}.desktop DESTINATION usr/share/applications COMPONENT client)
  install(FILES ${PROJECT_BINARY_DIR}/share/metainfo/${app_id}.metainfo.xml DESTINATION usr/share/metainfo
          COMPONENT client)
  install(FILES ${desktop_src}/${app_id}.svg DESTINATION usr/share/icons/hicolor/scalable/apps COMPONENT client)
  foreach(size ${icon_sizes})
    install(FILES ${PROJECT_BINARY_DIR}/share/icons/${size}/${app_id}.png
            DESTINATION usr/share/icons/hicolor/${size}x${size}/apps COMPONENT client)
  endforeach()
  install(FILES ${man_dir}/quarvel.1.gz ${man_dir}/quarvelctl.1.gz DESTINATION usr/share/man/man1 COMPONENT client)
  install(FILES ${desktop_src}/quarvelctl.bash-completion DESTINATION usr/share/bash-completion/completions
          RENAME quarvelctl COMPONENT client)
  install(FILES ${desktop_src}/copyright ${doc_dir}/changelog.gz DESTINATION usr/share/doc/quarvel COMPONENT client)
  install(FILES ${desktop_src}/quarvel.lintian-overrides DESTINATION usr/share/lintian/overrides RENAME quarvel
          COMPONENT client)
endif()

# quarvel-server: the templates its demo site offers come with it.
install(TARGETS tarvo-server RUNTIME DESTINATION usr/bin COMPONENT server)
install(DIRECTORY ${share}/DATA_MODEL ${share}/demo-templates DESTINATION usr/share/quarvel-server COMPONENT server)
install(FILES ${man_dir}/tarvo-server.1.gz DESTINATION usr/share/man/man1 COMPONENT server)
install(FILES ${server_src}/quarvel-server.service DESTINATION lib/systemd/system COMPONENT server)
install(FILES ${server_src}/quarvel-server.default DESTINATION etc/default RENAME quarvel-server COMPONENT server)
install(FILES ${desktop_src}/copyright ${doc_dir}/changelog.gz DESTINATION usr/share/doc/quarvel-server
        COMPONENT server)
file(WRITE ${PROJECT_BINARY_DIR}/deb/server/conffiles "/etc/default/quarvel-server\n")
file(COPY ${server_src}/postrm DESTINATION ${PROJECT_BINARY_DIR}/deb/server
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quarvel)
set(CPACK_PACKAGE_CONTACT "Quarvel Packaging <packages@quarvel.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL server)
if(TARGET quarvel)
  set(CPACK_COMPONENTS_ALL client server)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quarvel.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME quarvel)
set(CPACK_DEBIAN_CLIENT_PACKAGE_SECTION misc)
# What the program runs beside itself: the office for every spreadsheet, lp
# for printing, fc-match/fc-cache for the barcode fonts, a Chinese font, Qt's
# platform plugins and poppler for the preview.
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS
    "libreoffice-calc-nogui | libreoffice-calc, cups-client, fontconfig, fonts-wqy-microhei | fonts-noto-cjk, qt6-qpa-plugins")
set(CPACK_DEBIAN_CLIENT_PACKAGE_RECOMMENDS "qt6-translations-l10n")
string(CONCAT CPACK_COMPONENT_CLIENT_DESCRIPTION
    "courier counter client\n"
    "The counter program of a courier company: key in outgoing shipments, print\n"
    "labels, waybills and proforma invoices from spreadsheet templates, upload\n"
    "them to the company server, query it, record checkpoint scans and read an\n"
    "electronic scale. With quarvelctl, its command-line companion.")
set(CPACK_DEBIAN_SERVER_PACKAGE_NAME quarvel-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
    ${PROJECT_BINARY_DIR}/deb/server/conffiles ${PROJECT_BINARY_DIR}/deb/server/postrm)
string(CONCAT CPACK_COMPONENT_SERVER_DESCRIPTION
    "stand-in company server for the Quarvel counter client\n"
    "tarvo-server answers the counter client's login, base data, uploads and\n"
    "queries over HTTP and keeps its data in SQLite. The systemd unit\n"
    "quarvel-server runs it; it is not enabled on installation.")
include(CPack)
