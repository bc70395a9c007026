# The Debian package (scripts/package runs it). Its dependencies are computed from the
# installed binaries, plus the plugins Qt loads at run time: the platform plugins that
# open windows and the SVG image plugin for the splash and tip pictures, and the browser
# engine that draws the previews (its page view is loaded at run time). There are no
# maintainer scripts: Debian's triggers refresh the desktop entry, MIME, icon and
# manual page caches.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vendrix)
set(CPACK_PACKAGE_VENDOR "Zandorell Software")
set(CPACK_PACKAGE_CONTACT "Zandorell Software <support@zandorell.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "web page builder working with ready-made blocks")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Builds one web page at a time out of blocks: page details, headings,"
    "pictures, links and link drop boxes, paragraphs, bullet lists, lines and"
    "an e-mail form. Pages are previewed with colour themes, saved as page"
    "documents (.vxf) and templates (.vxt), and published with their pictures"
    "to a web server by FTP.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://www.zandorell.com")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
if(TARGET vendrix_webview)
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libqt6webenginewidgets6")
endif()

include(CPack)
