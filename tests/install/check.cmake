# Installs the build tree into a scratch prefix, then configures, builds and runs
# a small outside project that finds Kelvis with find_package and pkg-config.
file(REMOVE_RECURSE ${KEL_WORK_DIR})
set(prefix ${KEL_WORK_DIR}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${KEL_BINARY_DIR} --prefix ${prefix}
  RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${KEL_CONSUMER_SOURCE} -B ${KEL_WORK_DIR}/build
  -G ${KEL_GENERATOR} -DCMAKE_PREFIX_PATH=${prefix} RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "configuring the consumer failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${KEL_WORK_DIR}/build RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "building the consumer failed: ${rc}")
endif()
execute_process(COMMAND ${KEL_WORK_DIR}/build/consumer RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(rc OR NOT out MATCHES "Kel4x4Matrix")
  message(FATAL_ERROR "the consumer failed: ${rc} ${out}")
endif()
# pkg-config sees the same package.
find_program(PKG_CONFIG pkg-config REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
execute_process(COMMAND ${PKG_CONFIG} --cflags --libs kelvis RESULT_VARIABLE rc OUTPUT_VARIABLE out)
if(rc OR NOT out MATCHES "-lGR7BASE")
  message(FATAL_ERROR "pkg-config kelvis failed: ${rc} ${out}")
endif()
