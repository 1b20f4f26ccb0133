@echo off
rem Removes what install.cmd installed: the logon entries of Zenpick, Nudgel and Keldor, the
rem applet, the programs, the sample timing database (only while it is the sample, which its
rem first line marks), the entry in Add/Remove Programs, the copy of this script in the tools
rem folder and the folders this leaves empty. Running it again changes nothing. The choices
rem stored in the driver's settings and the user's alignment options stay. It runs from the
rem unpacked archive and from the tools folder, where Add/Remove Programs starts it.
rem
rem Written for the command interpreter of Windows NT 4.0, like install.cmd.
if not "%OS%"=="Windows_NT" goto notnt
rem The tools folder cannot be removed while it is the current directory, of this command
rem interpreter or of the one that is left when the script ends (before setlocal, which would
rem go back to it).
if /i "%~f0"=="%SystemRoot%\system32\drivers\orvel\tools\uninstall.cmd" cd /d "%SystemRoot%"
setlocal

set SYS=%SystemRoot%\system32
set TOOLS=%SYS%\drivers\orvel\tools
set TIMING=%SYS%\drivers\orvel\timing

rem The rights to write the system directory: a file that can be made there.
(type nul > "%SYS%\lumora-tools.tmp") 2>nul
if not exist "%SYS%\lumora-tools.tmp" goto norights
del "%SYS%\lumora-tools.tmp"

rem The logon entries first, so that a program still running does not start again.
set REG=%TEMP%\lumora-tools.reg
echo REGEDIT4> "%REG%"
echo.>> "%REG%"
echo [HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]>> "%REG%"
echo "Zenpick"=->> "%REG%"
echo "Nudgel"=->> "%REG%"
echo "Keldor"=->> "%REG%"
echo.>> "%REG%"
"%SystemRoot%\regedit.exe" /s "%REG%"
del "%REG%"
echo Zenpick, Nudgel and Keldor no longer start at logon.

set FAILED=
call :remove "%SYS%\lumora2.cpl"
call :remove "%TOOLS%\Zenpick.exe"
call :remove "%TOOLS%\Nudgel.exe"
call :remove "%TOOLS%\Keldor.exe"
call :remove "%TOOLS%\Keldhook.dll"
if /i not "%~f0"=="%TOOLS%\uninstall.cmd" call :remove "%TOOLS%\uninstall.cmd"
if not exist "%TIMING%\monitor.ini" goto folders
find "; Sample timing database of the lumora display tools" "%TIMING%\monitor.ini" > nul
if not errorlevel 1 call :remove "%TIMING%\monitor.ini"

:folders
rem Each folder goes only when it is empty.
if exist "%TOOLS%\nul" rd "%TOOLS%" 2> nul
if exist "%TIMING%\nul" rd "%TIMING%" 2> nul
if exist "%SYS%\drivers\orvel\nul" rd "%SYS%\drivers\orvel" 2> nul
if not "%FAILED%"=="" goto failed

rem Add/Remove Programs lists the tools until nothing of them is left to remove.
echo REGEDIT4> "%REG%"
echo.>> "%REG%"
echo [-HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\lumora-tools]>> "%REG%"
echo.>> "%REG%"
"%SystemRoot%\regedit.exe" /s "%REG%"
del "%REG%"
echo The lumora display tools are removed.
if /i "%~f0"=="%TOOLS%\uninstall.cmd" goto self
echo x| find "x" > nul
goto end

:self
rem This script is the copy in the tools folder, which cannot go while a command interpreter
rem reads it. A second one removes it and the folders it leaves empty once this one has ended:
rem it tries once a second for half a minute. (Written so that Wine's cmd reads it alike: the
rem loop's body in parentheses, no "@" before them, and echo off through /q.)
start "" /b "%SYS%\cmd.exe" /q /c for /l %%i in (1,1,30) do (if exist "%TOOLS%\uninstall.cmd" (ping -n 2 127.0.0.1 ^> nul ^& del "%TOOLS%\uninstall.cmd" 2^> nul ^& rd "%TOOLS%" 2^> nul ^& rd "%SYS%\drivers\orvel" 2^> nul) else (exit))
echo x| find "x" > nul
goto end

rem :remove FILE deletes one installed file.
:remove
if not exist %1 goto :eof
del %1
if exist %1 set FAILED=1
if exist %1 echo Could not remove %1.
if not exist %1 echo Removed %1
goto :eof

:failed
echo.
echo Some files are still in use. Log off and on (the tools no longer start at
echo logon) and run uninstall.cmd again.
find "x" < nul > nul
goto end

:norights
echo You need the rights to write %SYS% to remove the lumora display
echo tools: log on as a member of the Administrators group and run uninstall.cmd again.
find "x" < nul > nul
goto end

:notnt
echo The lumora display tools need Windows NT. Nothing was removed.
find "x" < nul > nul
goto end

:end
