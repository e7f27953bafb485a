# A fresh Wine prefix for the Windows test programs, at 96 DPI unless LOG_PIXELS gives another:
# cmake -DPREFIX=<dir> -DWINE=<wine64> -DWINESERVER=<wineserver> [-DLOG_PIXELS=<dpi>] -P
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
# A program that crashes must fail its test. Wine's default debugger prints a backtrace and the
# crashed program then reports exit code 0; with a debugger that cannot start, the program ends
# with its exception code (0xC0000005 comes out as 5) and the crash is printed all the same.
execute_process(COMMAND ${WINE} reg add "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug"
                        /v Debugger /d "no-debugger.exe" /f
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "could not switch off the crash debugger in ${PREFIX}: ${result}")
endif()
execute_process(COMMAND ${WINESERVER} -w TIMEOUT 60)
# Hiding a top-level window that Wine lets a window manager manage waits up to 2 s for the
# manager to withdraw it, and the test display runs none. The program that times its window's
# close (within 1 s, as on Windows, which hides at once) runs with its windows unmanaged.
execute_process(COMMAND ${WINE} reg add
                        "HKCU\\Software\\Wine\\AppDefaults\\e2e_close_during_preview_test.exe\\X11 Driver"
                        /v Managed /d N /f
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "could not set the unmanaged close test program in ${PREFIX}: ${result}")
endif()
execute_process(COMMAND ${WINESERVER} -w TIMEOUT 60)
# The screen's DPI, as a user sets it in the display settings.
if(LOG_PIXELS)
    execute_process(COMMAND ${WINE} reg add "HKCU\\Control Panel\\Desktop" /v LogPixels
                            /t REG_DWORD /d ${LOG_PIXELS} /f
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET TIMEOUT 60)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "could not set the DPI of ${PREFIX} to ${LOG_PIXELS}: ${result}")
    endif()
    execute_process(COMMAND ${WINESERVER} -w TIMEOUT 60)
endif()
