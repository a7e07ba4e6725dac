# Runs scdoc on one page (cmake -DSCDOC=... -DSOURCE=x.scd -DPAGE=x.1 -P scdoc.cmake) and writes
# PAGE and PAGE.gz (what the package installs). Both are replaced only when scdoc succeeds, so a
# syntax error never leaves a half-written page behind that a later build would take as current.
execute_process(
  COMMAND ${SCDOC}
  INPUT_FILE ${SOURCE}
  OUTPUT_FILE ${PAGE}.tmp
  ERROR_VARIABLE error
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${PAGE}.tmp)
  message(FATAL_ERROR "scdoc rejected ${SOURCE}: ${error}")
endif()
# -n: no name or time stamp in the compressed file, so the package is the same on every build.
execute_process(
  COMMAND gzip -9 -n -c ${PAGE}.tmp
  OUTPUT_FILE ${PAGE}.gz.tmp
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${PAGE}.tmp ${PAGE}.gz.tmp)
  message(FATAL_ERROR "gzip failed on ${PAGE}")
endif()
file(RENAME ${PAGE}.tmp ${PAGE})
file(RENAME ${PAGE}.gz.tmp ${PAGE}.gz)
