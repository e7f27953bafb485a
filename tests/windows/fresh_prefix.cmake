# A fresh Wine prefix for the Windows test programs:
# cmake -DPREFIX=<dir> -DWINE=<wine64> -DWINESERVER=<wineserver> -P
set(ENV{WINEPREFIX} ${PREFIX})
set(ENV{WINEDEBUG} -all)
# No dialogs offering Mono and Gecko: nothing here needs them.
set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${WINE} wineboot -i RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET
                TIMEOUT 100)
if(NOT result EQUAL 0 OR NOT EXISTS ${PREFIX}/system.reg)
    message(FATAL_ERROR "wineboot -i failed in ${PREFIX}: ${result}")
endif()
# wineboot returns while the prefix's services still finish setting it up; programs started
# meanwhile were seen to hang. Wait until every process of the prefix has ended.
execute_process(COMMAND ${WINESERVER} -w TIMEOUT 60)
