# Run by cpack after it has written the zip: writes it again so that the
# same files give the same bytes (normalise_zip.py).
if(NOT CPACK_MD3V_SOURCE_DATE_EPOCH)
  message(WARNING "MD3V_SOURCE_DATE_EPOCH is not set: the zip keeps the times and owner CPack gave it")
  return()
endif()
if(NOT CPACK_MD3V_PYTHON)
  message(FATAL_ERROR "python3 not found: the zip cannot be written reproducibly")
endif()
foreach(zip ${CPACK_PACKAGE_FILES})
  execute_process(COMMAND ${CPACK_MD3V_PYTHON} ${CPACK_MD3V_NORMALISE_ZIP} ${zip} ${CPACK_MD3V_SOURCE_DATE_EPOCH}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "normalise_zip.py failed on ${zip}")
  endif()
endforeach()
