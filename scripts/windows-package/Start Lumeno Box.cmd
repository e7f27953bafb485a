@echo off
rem Starts Lumeno Box with its local wallpaper site: the site serves on 127.0.0.1:8808 and
rem answers before the window opens; it stops when the window is closed.
title Lumeno Box
setlocal
cd /d "%~dp0"
if not exist "%~dp0lumeno-demo-site.exe" (
    echo lumeno-demo-site.exe is missing beside this script.
    echo Unpack the whole zip into a folder first, then start the script from there.
    pause
    exit /b 1
)
"%~dp0lumeno-demo-site.exe" --port 8808 --run lumeno-box.exe
if %errorlevel% neq 0 (
    echo.
    echo Lumeno Box could not run as it should: see the message above.
    pause
    exit /b 1
)
