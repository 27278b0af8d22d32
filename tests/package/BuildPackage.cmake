# Builds the Debian package with cpack and installs it where the package
# tests look: unpacked into DIR/root, or with dpkg -i when CI=true.
# cmake -DCPACK=... -DCONFIG=.../CPackConfig.cmake -DDIR=... -P BuildPackage.cmake
file(REMOVE_RECURSE ${DIR})
execute_process(COMMAND ${CPACK} -G DEB --config ${CONFIG} -B ${DIR}/out
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack -G DEB failed")
endif()
file(GLOB debs ${DIR}/out/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "cpack made ${count} packages instead of one")
endif()
file(RENAME ${debs} ${DIR}/quirindo.deb)
if("$ENV{CI}" STREQUAL "true")
  set(install dpkg -i ${DIR}/quirindo.deb)
else()
  set(install dpkg -x ${DIR}/quirindo.deb ${DIR}/root)
endif()
execute_process(COMMAND ${install} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${install} failed")
endif()
