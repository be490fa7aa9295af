# Installs the build into a scratch folder (as a package build does with DESTDIR) and checks
# that the plug-in (VST 2 and the LV2 bundle), the renderer, the standalone program, their manual
# pages and the desktop entry land where they belong, and that the installed renderer finds the
# installed plug-in from its own place.
#   cmake -DBUILD_DIR=... -DSCRATCH=... -P InstallCheck.cmake
file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${SCRATCH}/usr"
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(file lib/vst/Tesmora6.so bin/tesmora6-render share/man/man1/tesmora6-render.1
             share/doc/tesmora6/LICENSE lib/lv2/Tesmora6.lv2/manifest.ttl
             lib/lv2/Tesmora6.lv2/Tesmora6.ttl lib/lv2/Tesmora6.lv2/presets.ttl
             lib/lv2/Tesmora6.lv2/Tesmora6.so lib/lv2/Tesmora6.lv2/Tesmora6_ui.so
             bin/tesmora6 share/man/man1/tesmora6.1 share/applications/tesmora6.desktop)
  if(NOT EXISTS "${SCRATCH}/usr/${file}")
    message(FATAL_ERROR "the install has no ${file}")
  endif()
endforeach()
execute_process(COMMAND "${SCRATCH}/usr/bin/tesmora6-render" --info
                WORKING_DIRECTORY "${SCRATCH}" RESULT_VARIABLE result OUTPUT_VARIABLE info
                ERROR_VARIABLE error)
if(NOT result EQUAL 0 OR NOT info MATCHES "numParams     743")
  message(FATAL_ERROR "the installed renderer does not load the installed plug-in: ${error}")
endif()
execute_process(COMMAND "${SCRATCH}/usr/bin/tesmora6" --version RESULT_VARIABLE result OUTPUT_VARIABLE version)
if(NOT result EQUAL 0 OR NOT version MATCHES "^tesmora6 ")
  message(FATAL_ERROR "the installed tesmora6 does not run: ${version}")
endif()
file(REMOVE_RECURSE "${SCRATCH}")
