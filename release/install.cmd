@echo off
rem Installs the lumora display tools: the applet into the system directory, the programs and
rem uninstall.cmd into its drivers\orvel\tools folder, the sample timing database where the
rem driver has none, the logon entries of Zenpick, Nudgel and Keldor, and the tools' entry in
rem Add/Remove Programs. Running it again changes nothing; a newer version replaces the older.
rem
rem Written for the command interpreter of Windows NT 4.0, which has no reg.exe, no "exit /b"
rem and no delayed expansion: the registry is written by regedit.exe from a REGEDIT4 file, and
rem the exit code (0 done, 1 refused or failed) is left by find.exe.
if not "%OS%"=="Windows_NT" goto notnt
setlocal

rem The archive's files: in this script's folder, else in the current one.
set SRC=%~dp0
if not exist "%SRC%system32\lumora2.cpl" set SRC=
if not exist "%SRC%system32\lumora2.cpl" goto nosource

set SYS=%SystemRoot%\system32
set TOOLS=%SYS%\drivers\orvel\tools
set TIMING=%SYS%\drivers\orvel\timing

rem The rights to write the system directory: a file that can be made there.
(type nul > "%SYS%\lumora-tools.tmp") 2>nul
if not exist "%SYS%\lumora-tools.tmp" goto norights
del "%SYS%\lumora-tools.tmp"

if not exist "%TOOLS%\nul" md "%TOOLS%"
set FAILED=
call :place system32\lumora2.cpl "%SYS%\lumora2.cpl"
call :place system32\drivers\orvel\tools\Zenpick.exe "%TOOLS%\Zenpick.exe"
call :place system32\drivers\orvel\tools\Nudgel.exe "%TOOLS%\Nudgel.exe"
call :place system32\drivers\orvel\tools\Keldor.exe "%TOOLS%\Keldor.exe"
call :place system32\drivers\orvel\tools\Keldhook.dll "%TOOLS%\Keldhook.dll"
call :place uninstall.cmd "%TOOLS%\uninstall.cmd"
if not "%FAILED%"=="" goto failed

rem The sample timing database, only where the driver's installation put none.
if exist "%TIMING%\monitor.ini" echo Kept the timing database %TIMING%\monitor.ini
if exist "%TIMING%\monitor.ini" goto logon
if not exist "%TIMING%\nul" md "%TIMING%"
call :place samples\monitor.ini "%TIMING%\monitor.ini"
if not "%FAILED%"=="" goto failed

:logon
rem The registry entries, with the system directory's path as regedit.exe reads it (each
rem backslash doubled): the path is split at its backslashes and joined again.
set REST=%SYS%
set ESCSYS=
:split
for /f "tokens=1* delims=\" %%a in ("%REST%") do set PART=%%a
for /f "tokens=1* delims=\" %%a in ("%REST%") do set REST=%%b
if not "%ESCSYS%"=="" set ESCSYS=%ESCSYS%\\%PART%
if "%ESCSYS%"=="" set ESCSYS=%PART%
if not "%REST%"=="" goto split
set ESCAPED=%ESCSYS%\\drivers\\orvel\\tools
set REG=%TEMP%\lumora-tools.reg
echo REGEDIT4> "%REG%"
echo.>> "%REG%"
echo [HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]>> "%REG%"
echo "Zenpick"="%ESCAPED%\\Zenpick.exe">> "%REG%"
echo "Nudgel"="%ESCAPED%\\Nudgel.exe">> "%REG%"
echo "Keldor"="%ESCAPED%\\Keldor.exe">> "%REG%"
echo.>> "%REG%"
rem The entry in Add/Remove Programs runs the installed uninstall.cmd. One key for every
rem version, so that installing another version replaces the entry.
echo [HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\lumora-tools]>> "%REG%"
echo "DisplayName"="lumora display tools @PROJECT_VERSION@">> "%REG%"
echo "DisplayVersion"="@PROJECT_VERSION@">> "%REG%"
echo "Publisher"="Orvelcom AG">> "%REG%"
echo "UninstallString"="%ESCSYS%\\cmd.exe /c \"%ESCAPED%\\uninstall.cmd\"">> "%REG%"
echo.>> "%REG%"
"%SystemRoot%\regedit.exe" /s "%REG%"
del "%REG%"
echo Zenpick, Nudgel and Keldor start at every user's logon.
echo Add/Remove Programs in the Control Panel lists and removes the lumora display tools.
echo The lumora display tools are installed. Log off and on to start them.
echo x| find "x" > nul
goto end

rem :place SOURCE TARGET copies one file of the archive to its place.
:place
copy /b /y "%SRC%%1" %2 > nul
if errorlevel 1 set FAILED=1
if errorlevel 1 echo Could not copy %1 to %2.
if not errorlevel 1 echo Installed %2
goto :eof

:failed
echo.
echo The installation is not complete. A program that is still running cannot be
echo replaced: run uninstall.cmd, log off and on, and run install.cmd again.
find "x" < nul > nul
goto end

:nosource
echo install.cmd needs the files of its archive: run it from the folder the archive
echo was unpacked into.
find "x" < nul > nul
goto end

:norights
echo You need the rights to write %SYS% to install the lumora display
echo tools: log on as a member of the Administrators group and run install.cmd again.
find "x" < nul > nul
goto end

:notnt
echo The lumora display tools need Windows NT. Nothing was installed.
find "x" < nul > nul
goto end

:end
