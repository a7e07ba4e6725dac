# Every outside library the programs, tests and benchmarks use, found once, here, as imported
# targets. The folders below link these targets by name and find nothing themselves.
#
#   Qt6::Gui Qt6::Widgets Qt6::Charts Qt6::Svg   the windows, the title page, the help reader
#   ALSA::ALSA                                   playback, capture and the device list
#   JPEG::JPEG                                   the photograph on the title page
#   PkgConfig::SNDFILE                           recordings and the channel model's files
#   PkgConfig::HAMLIB                            keying the transmitter
#   PkgConfig::SOXR, zk::liquid                  the receiving side's resampler and filters
#   CLI11::CLI11, tomlplusplus::tomlplusplus,
#   nlohmann_json::nlohmann_json, PkgConfig::NETTLE   the command line, profiles, the log
#   Threads::Threads                             the transmit watchdog and its signal thread
#   GTest::gtest, Qt6::Test, PkgConfig::AMRNB    the tests and the channel model's phone paths
#   benchmark::benchmark, PkgConfig::XCB_DAMAGE  the benchmarks (XCB_DAMAGE optional)
#
# Included from the top-level CMakeLists.txt before any folder.

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

# LinguistTools: the monitor window's translations (lupdate, lrelease).
find_package(Qt6 REQUIRED COMPONENTS Gui Widgets Charts Svg LinguistTools)
find_package(ALSA REQUIRED)
find_package(JPEG REQUIRED)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(HAMLIB REQUIRED IMPORTED_TARGET hamlib)

pkg_check_modules(SOXR REQUIRED IMPORTED_TARGET soxr)
# Debian's liquid-dsp ships neither a pkg-config file nor a CMake package. Its header is taken as
# a system header, since its own code does not build cleanly under our warnings.
find_path(ZK_LIQUID_INCLUDE_DIR liquid/liquid.h REQUIRED)
find_library(ZK_LIQUID_LIBRARY liquid REQUIRED)
add_library(zk::liquid UNKNOWN IMPORTED)
set_target_properties(zk::liquid PROPERTIES IMPORTED_LOCATION ${ZK_LIQUID_LIBRARY}
                                            INTERFACE_INCLUDE_DIRECTORIES ${ZK_LIQUID_INCLUDE_DIR})

find_package(CLI11 2 CONFIG REQUIRED)
# Debian builds toml++ as a shared library; its package says so through TOML_SHARED_LIB.
find_package(tomlplusplus 3 CONFIG REQUIRED)
find_package(nlohmann_json 3 REQUIRED)
pkg_check_modules(NETTLE REQUIRED IMPORTED_TARGET nettle)

if(ZK_BUILD_TESTS)
  find_package(GTest REQUIRED)
  find_package(Qt6 REQUIRED COMPONENTS Test)
endif()
if(ZK_BUILD_TESTS OR ZK_BUILD_BENCH)
  # The channel model (tools/channel) runs phone paths through the AMR speech codec.
  pkg_check_modules(AMRNB REQUIRED IMPORTED_TARGET opencore-amrnb)
endif()

if(ZK_BUILD_BENCH)
  find_package(benchmark REQUIRED)
  # The window's start in a real X server is timed by the xcb DAMAGE extension; without its
  # library (Debian: libxcb-damage0-dev) that one benchmark is left out.
  pkg_check_modules(XCB_DAMAGE IMPORTED_TARGET xcb xcb-damage)
endif()
