# Builds the release zip into a scratch folder and checks what it holds:
# exactly Pelorin.exe and DEPLOY.txt, the program a 32-bit GUI file that
# imports only Windows' own DLLs, the note naming the version.
set(out ${BINARY_DIR}/package-check)
file(REMOVE_RECURSE ${out})
execute_process(COMMAND ${CMAKE_COMMAND} -DEXE=${EXE} -DVERSION=${VERSION} -DOUT_DIR=${out}
                        -DSOURCE_DIR=${SOURCE_DIR} -P ${SOURCE_DIR}/cmake/package.cmake
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "packaging failed")
endif()
set(zip ${out}/Pelorin-${VERSION}-win32.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zip} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
string(REPLACE "\n" ";" entries "${listing}")
list(REMOVE_ITEM entries "")
list(SORT entries)
if(NOT entries STREQUAL "DEPLOY.txt;Pelorin.exe")
  message(FATAL_ERROR "the package holds [${entries}], expected exactly DEPLOY.txt and Pelorin.exe")
endif()
file(MAKE_DIRECTORY ${out}/unpacked)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zip} WORKING_DIRECTORY ${out}/unpacked)
file(READ ${out}/unpacked/DEPLOY.txt note)
if(NOT note MATCHES "Kalvora Pelorin ${VERSION}")
  message(FATAL_ERROR "the deployment note does not name version ${VERSION}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -DEXE=${out}/unpacked/Pelorin.exe -DOBJDUMP=i686-w64-mingw32-objdump
                        -DFORMAT=pei-i386 -P ${SOURCE_DIR}/tests/check_imports.cmake
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the packaged Pelorin.exe failed the imports check")
endif()
file(REMOVE_RECURSE ${out})
