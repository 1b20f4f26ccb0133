# Run by CPack after it made the archive: rewrites it reproducibly (scripts/release_zip.py) and
# copies it to the dist folder.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND "${CPACK_DT_PYTHON}" "${CPACK_DT_SOURCE_DIR}/scripts/release_zip.py"
                          "${package}" "${CPACK_DT_SOURCE_DIR}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "release_zip.py could not rewrite ${package}")
  endif()
  file(COPY "${package}" DESTINATION "${CPACK_DT_DIST_DIR}")
  message(STATUS "Release archive: ${CPACK_DT_DIST_DIR}/${CPACK_PACKAGE_FILE_NAME}.zip")
endforeach()
