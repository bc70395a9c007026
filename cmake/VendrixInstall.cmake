# Where an installation puts each part. The executable (and the advertising library)
# find the others relative to their own folder, so an installed tree still works after
# it is moved as a whole; in the build tree everything lies beside the executable.
include(GNUInstallDirs)

set(VENDRIX_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/vendrix)
# A private library: nothing links it, the banner host loads it by path. Debian keeps
# architecture-dependent private libraries in lib/<triplet>/<package> whatever the prefix;
# directly below lib/ the package would also need an ldconfig call it has no use for.
if(CMAKE_LIBRARY_ARCHITECTURE)
    set(VENDRIX_INSTALL_PRIVATE_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/vendrix)
else()
    set(VENDRIX_INSTALL_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/vendrix)
endif()

function(vendrix_relative_path out from to)
    cmake_path(ABSOLUTE_PATH from BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX} NORMALIZE)
    cmake_path(ABSOLUTE_PATH to BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX} NORMALIZE)
    file(RELATIVE_PATH relative ${from} ${to})
    set(${out} ${relative} PARENT_SCOPE)
endfunction()

vendrix_relative_path(VENDRIX_BIN_TO_DATA ${CMAKE_INSTALL_BINDIR} ${VENDRIX_INSTALL_DATADIR})
vendrix_relative_path(VENDRIX_BIN_TO_PRIVATE_LIB ${CMAKE_INSTALL_BINDIR} ${VENDRIX_INSTALL_PRIVATE_LIBDIR})
vendrix_relative_path(VENDRIX_PRIVATE_LIB_TO_DATA ${VENDRIX_INSTALL_PRIVATE_LIBDIR} ${VENDRIX_INSTALL_DATADIR})

set(VENDRIX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/installpaths.h.in ${VENDRIX_GENERATED_DIR}/installpaths.h @ONLY)
