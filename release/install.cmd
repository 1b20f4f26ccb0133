@echo off
rem Installs the lumora display tools: the applet into the system directory, the programs and
rem uninstall.cmd into its drivers\orvel\tools folder, the sample timing database where the
rem driver has none, the logon entries of Zenpick, Nudgel and Keldor, and the tools' entry in
rem Add/Remove Programs. Running it again changes nothing; a newer version replaces the older.
rem It says "installed" only when the registry, read back, holds every entry it wrote.
rem
rem Written for the command interpreter of Windows NT 4.0, which has no reg.exe, no "exit /b"
rem and no delayed expansion: the registry is written by regedit.exe from a REGEDIT4 file, and
rem the exit code (0 done, 1 refused or failed) is left by find.exe.
rem
rem It runs as an administrator, while any user may change files in %SystemRoot% and in the
rem shared folder for temporary files: every program is called by its full path (cmd looks for
rem a bare name in the current folder first), and the files it writes go into the tools folder,
rem which only administrators can change, each deleted first so that nothing left there is read.
if not "%OS%"=="Windows_NT" goto notnt
setlocal

rem The archive's files: in this script's folder, else in the current one.
set SRC=%~dp0
if not exist "%SRC%system32\lumora2.cpl" set SRC=
if not exist "%SRC%system32\lumora2.cpl" goto nosource

set SYS=%SystemRoot%\system32
set TOOLS=%SYS%\drivers\orvel\tools
set TIMING=%SYS%\drivers\orvel\timing
set FIND=%SYS%\find.exe
set REGEDIT=%SystemRoot%\regedit.exe
set RUN=HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run
set UNINSTALL=HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall

rem The rights to write the system directory: a file made there anew (one left from before
rem must go first, else it would pass for the new one).
if exist "%SYS%\lumora-tools.tmp" del "%SYS%\lumora-tools.tmp"
if exist "%SYS%\lumora-tools.tmp" goto norights
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
set REG=%TOOLS%\lumora-tools.reg
set EXPORT=%TOOLS%\lumora-tools.exp
set CHECK=%TOOLS%\lumora-tools.txt
set STALE=
call :fresh "%REG%"
call :fresh "%EXPORT%"
call :fresh "%CHECK%"
if not "%STALE%"=="" goto stale
echo REGEDIT4> "%REG%"
echo.>> "%REG%"
echo [%RUN%]>> "%REG%"
echo "Zenpick"="%ESCAPED%\\Zenpick.exe">> "%REG%"
echo "Nudgel"="%ESCAPED%\\Nudgel.exe">> "%REG%"
echo "Keldor"="%ESCAPED%\\Keldor.exe">> "%REG%"
echo.>> "%REG%"
rem The entry in Add/Remove Programs runs the installed uninstall.cmd. One key for every
rem version, so that installing another version replaces the entry.
echo [%UNINSTALL%\lumora-tools]>> "%REG%"
echo "DisplayName"="lumora display tools @PROJECT_VERSION@">> "%REG%"
echo "DisplayVersion"="@PROJECT_VERSION@">> "%REG%"
echo "Publisher"="Orvelcom AG">> "%REG%"
echo "UninstallString"="%ESCSYS%\\cmd.exe /c \"%ESCAPED%\\uninstall.cmd\"">> "%REG%"
echo.>> "%REG%"
"%REGEDIT%" /s "%REG%"
del "%REG%"

rem What the registry holds now, read back through regedit.exe's export of both keys.
call :readback %RUN%
call :readback %UNINSTALL%
if not "%STALE%"=="" goto stale
set MISSING=
for %%p in (Zenpick Nudgel Keldor) do call :logonentry %%p
set ENTRY=
"%FIND%" """DisplayName""=""lumora display tools @PROJECT_VERSION@""" < "%CHECK%" > nul
if errorlevel 1 set ENTRY=1
"%FIND%" """UninstallString""=""%ESCSYS%\\cmd.exe" < "%CHECK%" | "%FIND%" "%ESCAPED%\\uninstall.cmd" > nul
if errorlevel 1 set ENTRY=1
if not "%ENTRY%"=="" set MISSING=1
if not "%ENTRY%"=="" echo Missing: the entry "lumora-tools" of Add/Remove Programs, in %UNINSTALL%.
del "%CHECK%"
if not "%MISSING%"=="" goto unwritten
echo Zenpick, Nudgel and Keldor start at every user's logon.
echo Add/Remove Programs in the Control Panel lists and removes the lumora display tools.
echo The lumora display tools are installed. Log off and on to start them.
echo x| "%FIND%" "x" > nul
goto end

rem :place SOURCE TARGET copies one file of the archive to its place.
:place
copy /b /y "%SRC%%1" %2 > nul
rem (In a .cmd script set leaves errorlevel 0, so it comes last.)
if not errorlevel 1 echo Installed %2
if errorlevel 1 echo Could not copy %1 to %2.
if errorlevel 1 set FAILED=1
goto :eof

rem :fresh FILE deletes a file this script is about to write; STALE names one that stays.
:fresh
if exist %1 del %1
if exist %1 set STALE=%1
goto :eof

rem :readback KEY adds the lines of KEY's export to CHECK. for /f reads the export as the
rem regedit.exe of Windows NT 4.0 writes it and as Wine's does (in UTF-16, which find.exe does
rem not read), and takes its path unquoted (Windows NT 4.0's setup takes no spaces there).
:readback
call :fresh "%EXPORT%"
if exist "%EXPORT%" goto :eof
"%REGEDIT%" /e "%EXPORT%" "%1"
if not exist "%CHECK%" type nul > "%CHECK%"
if exist "%EXPORT%" for /f "delims=" %%l in (%EXPORT%) do echo %%l>> "%CHECK%"
call :fresh "%EXPORT%"
goto :eof

rem :logonentry NAME reports NAME's logon entry when the read-back lacks it.
:logonentry
"%FIND%" """%1""=""%ESCAPED%\\%1.exe""" < "%CHECK%" > nul
if errorlevel 1 echo Missing: the logon entry "%1", in %RUN%.
if errorlevel 1 set MISSING=1
goto :eof

:unwritten
echo.
echo The installation is not complete: the registry does not hold the entries above,
echo though the files are in place. See whether the registry editor can change these
echo keys, and run install.cmd again.
"%FIND%" "x" < nul > nul
goto end

:stale
echo.
echo The file %STALE% is left from before and could not be deleted: delete it and
echo run install.cmd again.
"%FIND%" "x" < nul > nul
goto end

:failed
echo.
echo The installation is not complete. A program that is still running cannot be
echo replaced: run uninstall.cmd, log off and on, and run install.cmd again.
"%FIND%" "x" < nul > nul
goto end

:nosource
echo install.cmd needs the files of its archive: run it from the folder the archive
echo was unpacked into.
"%FIND%" "x" < nul > nul
goto end

:norights
echo You need the rights to write %SYS% to install the lumora display
echo tools: log on as a member of the Administrators group and run install.cmd again.
"%FIND%" "x" < nul > nul
goto end

:notnt
echo The lumora display tools need Windows NT. Nothing was installed.
"%SystemRoot%\system32\find.exe" "x" < nul > nul
goto end

:end
