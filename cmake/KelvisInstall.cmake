# cmake --install: headers, libraries, run-time modules, a CMake package
# (find_package(Kelvis) -> Kelvis::GR7BASE, Kelvis::KelFramework) and kelvis.pc.
include(CMakePackageConfigHelpers)

install(TARGETS KelFramework GR7BASE EXPORT KelvisTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/kel DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY src/navigation/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvis/icons
  FILES_MATCHING PATTERN "*.xpm")
install(EXPORT KelvisTargets NAMESPACE Kelvis::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kelvis)

configure_package_config_file(cmake/KelvisConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KelvisConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kelvis)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/KelvisConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/KelvisConfig.cmake ${PROJECT_BINARY_DIR}/KelvisConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Kelvis)

# pkg-config finds the prefix from the .pc file's own place.
file(RELATIVE_PATH KEL_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" KEL_PC_TO_PREFIX "${KEL_PC_TO_PREFIX}")
configure_file(cmake/kelvis.pc.in ${PROJECT_BINARY_DIR}/kelvis.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/kelvis.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
