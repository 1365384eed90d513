# The Debian package (tools/package.sh): velmora_<version>_<arch>.deb with the files of
# the install rules, dependencies computed from the binaries, and no maintainer scripts
# (menus, icons and file types are refreshed by the desktop's own triggers).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "The Velmora developers <velmora@velmora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keep a collection of pictures and make them the desktop wallpaper")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its display plugins (xcb, wayland) and its WebP and TIFF readers at run time,
# so no library names them; the add dialog offers those formats. Its translations give
# its own dialogs the Chinese interface's language. libpq, libsecret and libcrypto are loaded
# when a server collection, the keyring or a picture digest is first used, so no library
# names them either.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-image-formats-plugins, qt6-translations-l10n, libpq5, libsecret-1-0, libssl3")
# xdg-open starts the browser for the web-site button.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack puts the summary above this.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velmora keeps pictures in one collection file (an SQLite 3 database) and
shows them one at a time. Pictures come in from JPEG, BMP, PNG, GIF, WebP
and TIFF files, several at once or dropped on the window, or from the
clipboard; they can be renamed, saved to JPEG files, copied, cut and
deleted, and the list can be narrowed by name.
.
Any picture becomes the desktop wallpaper with one click, on GNOME,
Cinnamon, MATE, Xfce, KDE Plasma, LXQt, LXDE, sway and other X11 desktops;
from the command line, velmora --set-wallpaper and --next-wallpaper change
it without opening the window, and a systemd user timer can rotate it.
The interface speaks Simplified Chinese (its own language) or English.
The package also holds velmora-make-collection, which makes empty or
sample collection files.")

include(CPack)
