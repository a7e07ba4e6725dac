# Installation and the Debian package.
#
#   bin/zk77q3                      the command line
#   bin/zk77q3-monitor              the monitor window; it reads recordings by the names given
#   bin/zk77q3-programmer           a launcher: makes the user's working folder, puts "help.rtf"
#                                   into it and starts the window there
#   lib/zk77q3/libzk77q3-receive.so the decoder behind `zk77q3 verify` and `zk77q3 listen`,
#                                   opened by zk77q3 on their first use
#   lib/zk77q3/zk77q3-programmer    the window itself; it reads and writes relative to the folder
#                                   it runs in, so it is not started directly
#   share/zk77q3/help.rtf           the help the launcher copies
#   share/applications, share/metainfo, share/icons   the desktop entry, its AppStream data, icon
#   share/man/man1/zk77q3.1.gz      the manual page (only when scdoc was found)
#   <bash-completion's completionsdir>/zk77q3   completion of commands, options and values
#
# Included from the top-level CMakeLists.txt after the executables' folders.
include(GNUInstallDirs)

set(ZK_APP_ID "example.zk77q3.Programmer")
set(ZK_INSTALL_PROGRAMDIR "lib/${PROJECT_NAME}" CACHE STRING
    "Where the window's executable goes, relative to the prefix (the launcher in bin starts it)")
# The user's working folder, in the home folder; visible, since operators look for "_qq.wav" there.
set(ZK_WORK_FOLDER "ZK-77q3")

set(zk_packaging_dir ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS zk77q3 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The decoder behind verify and listen, which zk77q3 finds through its RUNPATH, relative to its
# own folder.
install(TARGETS zk77q3-receive LIBRARY DESTINATION ${ZK_INSTALL_PROGRAMDIR})
file(RELATIVE_PATH zk_bin_to_programs ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${ZK_INSTALL_PROGRAMDIR})
# The build tree lays the two out the same way, so that one RUNPATH serves both, unchanged at
# install: CMake's editable build RUNPATH would end in an empty entry, which is the working folder.
get_target_property(zk_cli_binary_dir zk77q3 BINARY_DIR)
set_target_properties(zk77q3-receive PROPERTIES
                      LIBRARY_OUTPUT_DIRECTORY ${zk_cli_binary_dir}/${zk_bin_to_programs})
set_target_properties(zk77q3 PROPERTIES INSTALL_RPATH "$ORIGIN/${zk_bin_to_programs}"
                                        BUILD_WITH_INSTALL_RPATH ON)

if(TARGET zk77q3_man)
  get_target_property(zk_man_page zk77q3_man ZK_PAGE)
  install(FILES ${zk_man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# bash-completion looks for completions in its completionsdir, under the data folder of the
# prefix it was installed with: the same folder under our own data folder, so that a
# /usr/local build does not write into /usr. Without bash-completion's pkg-config file, the
# folder it uses everywhere.
set(ZK_BASH_COMPLETION_DIR "" CACHE STRING
    "Where the bash completion goes, relative to the prefix (empty: ask pkg-config)")
set(zk_completion_dir ${ZK_BASH_COMPLETION_DIR})
if(NOT zk_completion_dir)
  set(zk_completion_dir ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  find_program(ZK_PKG_CONFIG pkg-config)
  if(ZK_PKG_CONFIG)
    execute_process(
      COMMAND ${ZK_PKG_CONFIG} --variable=completionsdir
              --define-variable=datadir=${CMAKE_INSTALL_FULL_DATADIR}
              --define-variable=prefix=${CMAKE_INSTALL_PREFIX} bash-completion
      OUTPUT_VARIABLE zk_asked OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE zk_status ERROR_QUIET)
    string(LENGTH "${CMAKE_INSTALL_PREFIX}/" zk_length)
    string(SUBSTRING "${zk_asked}" 0 ${zk_length} zk_head)
    if(zk_status EQUAL 0 AND zk_head STREQUAL "${CMAKE_INSTALL_PREFIX}/")
      string(SUBSTRING "${zk_asked}" ${zk_length} -1 zk_completion_dir)
    endif()
  endif()
endif()
install(FILES ${zk_packaging_dir}/zk77q3.bash-completion
        DESTINATION ${zk_completion_dir} RENAME zk77q3)

# The window.
install(TARGETS zk77q3-programmer RUNTIME DESTINATION ${ZK_INSTALL_PROGRAMDIR})

# The launcher finds the program and the help relative to its own folder.
GNUInstallDirs_get_absolute_install_dir(zk_full_programdir ZK_INSTALL_PROGRAMDIR PROGRAMDIR)
file(RELATIVE_PATH ZK_BIN_TO_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${zk_full_programdir}/zk77q3-programmer)
file(RELATIVE_PATH ZK_BIN_TO_HELP ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/${PROJECT_NAME}/help.rtf)
configure_file(${zk_packaging_dir}/zk77q3-programmer.in
               ${PROJECT_BINARY_DIR}/packaging/zk77q3-programmer @ONLY)
install(PROGRAMS ${PROJECT_BINARY_DIR}/packaging/zk77q3-programmer
        DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${PROJECT_SOURCE_DIR}/help.rtf DESTINATION ${CMAKE_INSTALL_DATADIR}/${PROJECT_NAME})
install(FILES ${zk_packaging_dir}/${ZK_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${zk_packaging_dir}/${ZK_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${zk_packaging_dir}/${ZK_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The monitor window: started directly, it needs no working folder of its own.
set(ZK_MONITOR_APP_ID "example.zk77q3.Monitor")
install(TARGETS zk77q3-monitor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${zk_packaging_dir}/${ZK_MONITOR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${zk_packaging_dir}/${ZK_MONITOR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${zk_packaging_dir}/${ZK_MONITOR_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The Debian package: cpack -G DEB in a build configured with -DCMAKE_INSTALL_PREFIX=/usr.
set(CPACK_PACKAGE_NAME "zk77q3-programmer")
set(CPACK_PACKAGE_VENDOR "ZK-77q3 programmer developers")
set(CPACK_PACKAGE_CONTACT "ZK-77q3 programmer developers <packages@zk77q3.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# The package's long description, one paragraph in lines short enough for a terminal.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Programs the ZK-77q3 echo repeater over the air: the repeater's settings are"
  "packed into a message with a CRC-16 check word and sent as a phase-keyed"
  "1000 Hz tone into a transmitting radio. The sound is also written as _qq.wav"
  "and 9_fmsig.h. The window, zk77q3-programmer, works in the folder ZK-77q3 in"
  "the user's home folder; zk77q3 does the same from the command line. The"
  "monitor, zk77q3-monitor, decodes what went over the air from a receiver or a"
  "recording and shows each message with its margin, bytes and settings.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.zk77q3.example/")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "hamradio")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found by dpkg-shlibdeps are only the libraries linked in; Qt's platform plugins, which the window
# cannot start without, are loaded at run time, and so are alsa-lib, opened on the first play, and
# Hamlib, opened on the first keying.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libasound2, libhamlib4")
# The window's fonts are Liberation's, with DejaVu as the stand-in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation | fonts-dejavu-core")

set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

include(CPack)
