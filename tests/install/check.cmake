# Installs the build tree into two prefixes and moves the second one, then, in
# each, builds the examples as outside projects with find_package(Kelvis) and
# the first one with pkg-config, runs them (they must draw), runs the installed
# kelrender, and checks that installed headers include installed ones only.
#
# -D: KEL_BINARY_DIR, KEL_EXAMPLES_DIR, KEL_WORK_DIR, KEL_GENERATOR, KEL_LIBDIR
# (relative), KEL_CXX.
file(REMOVE_RECURSE ${KEL_WORK_DIR})
file(MAKE_DIRECTORY ${KEL_WORK_DIR})

# Runs a command; a failure ends the test with what it said. Its standard
# output is left in `out`.
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  if(rc)
    message(FATAL_ERROR "${what} failed (${rc}):\n${stdout}\n${stderr}")
  endif()
  set(out "${stdout}" PARENT_SCOPE)
endfunction()

function(expect what text regex)
  if(NOT text MATCHES "${regex}")
    message(FATAL_ERROR "${what}: '${regex}' not in:\n${text}")
  endif()
endfunction()

foreach(prefix first second)
  run("install into ${prefix}" ${CMAKE_COMMAND} --install ${KEL_BINARY_DIR}
      --prefix ${KEL_WORK_DIR}/${prefix})
endforeach()
file(RENAME ${KEL_WORK_DIR}/second ${KEL_WORK_DIR}/moved)
file(WRITE ${KEL_WORK_DIR}/tetra.stl "solid t
facet normal 0 0 0\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\nendloop\nendfacet
facet normal 0 0 0\nouter loop\nvertex 0 0 0\nvertex 0 0 1\nvertex 1 0 0\nendloop\nendfacet
facet normal 0 0 0\nouter loop\nvertex 0 0 0\nvertex 0 1 0\nvertex 0 0 1\nendloop\nendfacet
facet normal 0 0 0\nouter loop\nvertex 1 0 0\nvertex 0 0 1\nvertex 0 1 0\nendloop\nendfacet
endsolid t\n")

foreach(prefix first moved)
  set(root ${KEL_WORK_DIR}/${prefix})
  set(work ${KEL_WORK_DIR}/${prefix}-work)
  foreach(example offscreen picking meshfile)
    run("configuring ${example} on ${prefix}" ${CMAKE_COMMAND} -S ${KEL_EXAMPLES_DIR}/${example}
        -B ${work}/${example} -G ${KEL_GENERATOR} -DCMAKE_PREFIX_PATH=${root})
    run("building ${example} on ${prefix}" ${CMAKE_COMMAND} --build ${work}/${example})
  endforeach()
  run("offscreen on ${prefix}" ${work}/offscreen/offscreen ${work}/offscreen.tif)
  expect("offscreen on ${prefix}" "${out}" "[0-9][0-9][0-9][0-9]+ of 307200 pixels show the scene")
  run("picking on ${prefix}" ${work}/picking/picking)
  # The ball's front point; the normal is that of the facet there.
  expect("picking on ${prefix}" "${out}"
         "^Kel3DSimpleSphereRep at \\(-?0\\.00, -15\\.00, -?0\\.00\\), normal \\(-?0\\.[01][0-9], -(0\\.9[5-9]|1\\.00), -?0\\.[01][0-9]\\)")
  run("meshfile on ${prefix}" ${work}/meshfile/meshfile ${KEL_WORK_DIR}/tetra.stl ${work}/tetra.tif)
  expect("meshfile on ${prefix}" "${out}" "1 surfaces.*tetra.tif: written")

  run("installed kelrender on ${prefix}" ${root}/bin/kelrender --version)
  expect("kelrender --version" "${out}" "^kelrender \\(Kelvis\\) [0-9]+\\.[0-9]+\\.[0-9]+")
  run("installed kelrender on ${prefix}" ${root}/bin/kelrender -s 64x48 -o ${work}/kelrender.png)
endforeach()

# pkg-config, from each prefix: a program built by hand.
find_program(PKG_CONFIG pkg-config REQUIRED)
foreach(prefix first moved)
  set(ENV{PKG_CONFIG_PATH} ${KEL_WORK_DIR}/${prefix}/${KEL_LIBDIR}/pkgconfig)
  run("pkg-config on ${prefix}" ${PKG_CONFIG} --cflags --libs kelvis)
  string(STRIP "${out}" flags)
  expect("pkg-config on ${prefix}" "${flags}" "-I${KEL_WORK_DIR}/${prefix}/")
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(program ${KEL_WORK_DIR}/${prefix}-work/offscreen-pc)
  run("building offscreen with pkg-config on ${prefix}" ${KEL_CXX} -std=c++17
      ${KEL_EXAMPLES_DIR}/offscreen/main.cpp ${flags} -o ${program})
  run("offscreen built with pkg-config on ${prefix}" ${program} ${program}.tif)
  expect("offscreen built with pkg-config on ${prefix}" "${out}" "[0-9][0-9][0-9][0-9]+ of 307200")
endforeach()

# Every installed header finds what it includes among the installed ones.
file(GLOB_RECURSE headers RELATIVE ${KEL_WORK_DIR}/moved/include ${KEL_WORK_DIR}/moved/include/*.h)
set(all "")
foreach(h IN LISTS headers)
  string(APPEND all "#include <${h}>\n")
endforeach()
file(WRITE ${KEL_WORK_DIR}/headers.cpp "${all}")
run("preprocessing every installed header" ${KEL_CXX} -std=c++17 -E -o ${KEL_WORK_DIR}/headers.i
    -I${KEL_WORK_DIR}/moved/include ${KEL_WORK_DIR}/headers.cpp)

# The navigation icons are found in the install the library was loaded from,
# moved or not (not in the source tree the library was built from).
foreach(prefix first moved)
  set(ENV{PKG_CONFIG_PATH} ${KEL_WORK_DIR}/${prefix}/${KEL_LIBDIR}/pkgconfig)
  run("pkg-config on ${prefix}" ${PKG_CONFIG} --cflags --libs kelvis)
  string(STRIP "${out}" flags)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  file(WRITE ${KEL_WORK_DIR}/icons.cpp "#include <kel/navigation/KelNavigation3DViewer.h>
#include <cstdio>
int main() { std::puts(KelNavigation3DViewer::GetIconDirectory()); }\n")
  set(program ${KEL_WORK_DIR}/${prefix}-work/icons)
  run("building the icon lookup on ${prefix}" ${KEL_CXX} -std=c++17 ${KEL_WORK_DIR}/icons.cpp
      ${flags} -o ${program})
  run("icon lookup on ${prefix}" ${program})
  string(STRIP "${out}" dir)
  expect("icon folder on ${prefix}" "${dir}" "^${KEL_WORK_DIR}/${prefix}/")
  if(NOT EXISTS ${dir}/i3n4d002.xpm)
    message(FATAL_ERROR "no installed icon in ${dir}")
  endif()
endforeach()
