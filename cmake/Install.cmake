# cmake --install: headers, both libraries and a package config for
# find_package(KorvelPallisk CONFIG), giving KorvelPallisk::toolkit and KorvelPallisk::KorvelPallisk.
include(CMakePackageConfigHelpers)

install(DIRECTORY include/korvel DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# KorvelFramework: the framework stand-in that KorvelPallisk needs beside it at run time.
install(TARGETS korvel_toolkit KorvelPallisk korvel_framework EXPORT KorvelPalliskTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT KorvelPalliskTargets NAMESPACE KorvelPallisk::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/KorvelPallisk)
configure_package_config_file(cmake/KorvelPalliskConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/KorvelPalliskConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/KorvelPallisk)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/KorvelPalliskConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/KorvelPalliskConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/KorvelPalliskConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/KorvelPallisk)
