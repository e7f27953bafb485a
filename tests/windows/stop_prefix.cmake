# Ends the Wine server of the test prefix, so nothing of the run stays behind:
# cmake -DPREFIX=<dir> -DWINESERVER=<wineserver> -P
set(ENV{WINEPREFIX} ${PREFIX})
if(EXISTS ${WINESERVER})
    execute_process(COMMAND ${WINESERVER} -k OUTPUT_QUIET ERROR_QUIET TIMEOUT 30)
endif()
