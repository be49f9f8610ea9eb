# Installing the component for host applications: its shared libraries (one
# copy of each, however many of them a host loads), the headers a host
# includes, the help pages, and the CMake package that finds it all
# (find_package(Zonitra) then Zonitra::control).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(ZONITRA_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/zonitra)
set(ZONITRA_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Zonitra)
set(ZONITRA_INSTALL_HELPDIR ${CMAKE_INSTALL_DATADIR}/zonitra/help)

# Every library the control needs at link or run time, by the name a host
# sees after the Zonitra:: prefix. They find each other next to themselves
# ($ORIGIN), wherever the prefix is moved.
set(zonitra_packaged
  kelmor:kelmor zonitra_services:services zonitra_help:help zonitra_forms:forms
  zonitra_centremed:centremed zonitra_shell:shell zonitra_levels:levels
  zonitra_postal:postal zonitra_adresse:adresse zonitra_dialogs:dialogs
  zonitra_control:control)
set(zonitra_packaged_targets)
foreach(entry IN LISTS zonitra_packaged)
  string(REPLACE ":" ";" pair ${entry})
  list(GET pair 0 target)
  list(GET pair 1 name)
  set_target_properties(${target} PROPERTIES
    EXPORT_NAME ${name}
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    INSTALL_RPATH "$ORIGIN")
  list(APPEND zonitra_packaged_targets ${target})
endforeach()

install(TARGETS ${zonitra_packaged_targets}
  EXPORT ZonitraTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${ZONITRA_INSTALL_INCLUDEDIR})

# The headers of the host's side only: the control and its registry, and the
# three host objects (the database library, the rights, the client slot).
# The screen, the shared state, the forms layer and the levels stay inside.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/kelmor/include/kelmor
                  ${PROJECT_SOURCE_DIR}/src/services/include/services
        DESTINATION ${ZONITRA_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_SOURCE_DIR}/src/control/include/control/ctr_secteur.h
              ${PROJECT_SOURCE_DIR}/src/control/include/control/registry.h
              ${PROJECT_SOURCE_DIR}/src/control/shell/include/control/boolean16.h
        DESTINATION ${ZONITRA_INSTALL_INCLUDEDIR}/control)

# The pages are compiled into the help library, which shows them from there;
# the copies are for a host that lists them in its own help.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/services/help/pages/
        DESTINATION ${ZONITRA_INSTALL_HELPDIR})

install(EXPORT ZonitraTargets NAMESPACE Zonitra:: FILE ZonitraTargets.cmake
        DESTINATION ${ZONITRA_INSTALL_CMAKEDIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ZonitraConfig.cmake.in
  ${PROJECT_BINARY_DIR}/ZonitraConfig.cmake
  INSTALL_DESTINATION ${ZONITRA_INSTALL_CMAKEDIR}
  PATH_VARS ZONITRA_INSTALL_HELPDIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ZonitraConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ZonitraConfig.cmake
              ${PROJECT_BINARY_DIR}/ZonitraConfigVersion.cmake
        DESTINATION ${ZONITRA_INSTALL_CMAKEDIR})
