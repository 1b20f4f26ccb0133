@echo off
rem Removes what install.cmd installed: the logon entries of Zenpick, Nudgel and Keldor, the
rem applet, the programs, the sample timing database (only while it is the sample, which its
rem first line marks), the entry in Add/Remove Programs, the copy of this script in the tools
rem folder and the folders this leaves empty. Running it again changes nothing. The choices
rem stored in the driver's settings and the user's alignment options stay. It runs from the
rem unpacked archive and from the tools folder, where Add/Remove Programs starts it.
rem
rem Each step goes only when the one before is done, and the registry is read back after each
rem change: the logon entries first, then the files, then the entry in Add/Remove Programs.
rem Where a step fails the script stops with exit code 1 and the entry and the copy of this
rem script that it runs stay, so that the entry finishes the removal later. The copy and the
rem tools folder go last, always through a second command interpreter once this one has ended,
rem as a command interpreter may still read the copy (under whatever name it was started).
rem
rem Written for the command interpreter of Windows NT 4.0, like install.cmd, and like it with
rem every program called by its full path and its files written into the tools folder only.
if not "%OS%"=="Windows_NT" goto notnt
rem A folder that is the current one of a command interpreter cannot be removed. Whatever name
rem the tools folder was reached by, a file made there shows whether it is the current folder;
rem the change of folder comes before setlocal, which would go back to it when the script ends.
set LUMORA_HERE=%SystemRoot%\system32\drivers\orvel\tools\lumora-tools.cd
if exist "%LUMORA_HERE%" del "%LUMORA_HERE%"
(type nul > "%LUMORA_HERE%") 2>nul
if exist lumora-tools.cd cd /d "%SystemRoot%\system32"
if exist "%LUMORA_HERE%" del "%LUMORA_HERE%"
set LUMORA_HERE=
setlocal

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

rem The registry files are written into the tools folder, made for them if need be.
if not exist "%TOOLS%\nul" md "%TOOLS%"
set REG=%TOOLS%\lumora-tools.reg
set EXPORT=%TOOLS%\lumora-tools.exp
set CHECK=%TOOLS%\lumora-tools.txt
set STALE=

rem The logon entries first, so that a program still running does not start again. The file
rem names both keys, so that both exist to be read back.
call :fresh "%REG%"
call :fresh "%CHECK%"
if not "%STALE%"=="" goto stale
echo REGEDIT4> "%REG%"
echo.>> "%REG%"
echo [%RUN%]>> "%REG%"
echo "Zenpick"=->> "%REG%"
echo "Nudgel"=->> "%REG%"
echo "Keldor"=->> "%REG%"
echo.>> "%REG%"
echo [%UNINSTALL%]>> "%REG%"
echo.>> "%REG%"
"%REGEDIT%" /s "%REG%"
del "%REG%"
call :readback %RUN%
if not "%STALE%"=="" goto stale
if not exist "%CHECK%" goto unread
set LEFT=
for %%p in (Zenpick Nudgel Keldor) do call :logonentry %%p
del "%CHECK%"
if not "%LEFT%"=="" goto notremoved
echo Zenpick, Nudgel and Keldor no longer start at logon.

set FAILED=
call :remove "%SYS%\lumora2.cpl"
call :remove "%TOOLS%\Zenpick.exe"
call :remove "%TOOLS%\Nudgel.exe"
call :remove "%TOOLS%\Keldor.exe"
call :remove "%TOOLS%\Keldhook.dll"
if not exist "%TIMING%\monitor.ini" goto timing
"%FIND%" "; Sample timing database of the lumora display tools" < "%TIMING%\monitor.ini" > nul
if not errorlevel 1 call :remove "%TIMING%\monitor.ini"
:timing
if exist "%TIMING%\nul" rd "%TIMING%" 2> nul
if not "%FAILED%"=="" goto failed

rem Add/Remove Programs lists the tools until nothing but this script is left to remove.
call :fresh "%REG%"
call :fresh "%CHECK%"
if not "%STALE%"=="" goto stale
echo REGEDIT4> "%REG%"
echo.>> "%REG%"
echo [%UNINSTALL%]>> "%REG%"
echo.>> "%REG%"
echo [-%UNINSTALL%\lumora-tools]>> "%REG%"
echo.>> "%REG%"
"%REGEDIT%" /s "%REG%"
del "%REG%"
call :readback %UNINSTALL%
if not "%STALE%"=="" goto stale
if not exist "%CHECK%" goto unread
"%FIND%" "\lumora-tools]" < "%CHECK%" > nul
if not errorlevel 1 echo Still there: the entry "lumora-tools" of Add/Remove Programs, in %UNINSTALL%.
if not errorlevel 1 set LEFT=1
del "%CHECK%"
if not "%LEFT%"=="" goto notremoved
echo The lumora display tools are removed.

rem The installed copy of this script and the folders: a second command interpreter deletes
rem them once this one has ended, trying once a second for half a minute. (Written so that
rem Wine's cmd reads it alike: the loop's body in parentheses, no "@" before them, and echo off
rem through /q.) ping.exe, which waits the second, comes with TCP/IP.
if not exist "%SYS%\ping.exe" goto noping
start "" /b "%SYS%\cmd.exe" /q /c for /l %%i in (1,1,30) do (if exist "%TOOLS%\nul" ("%SYS%\ping.exe" -n 2 127.0.0.1 ^> nul ^& del "%TOOLS%\uninstall.cmd" 2^> nul ^& rd "%TOOLS%" 2^> nul ^& rd "%SYS%\drivers\orvel" 2^> nul) else (exit))
echo x| "%FIND%" "x" > nul
goto end

rem :remove FILE deletes one installed file.
:remove
if not exist %1 goto :eof
del %1
if exist %1 set FAILED=1
if exist %1 echo Could not remove %1.
if not exist %1 echo Removed %1
goto :eof

rem :fresh FILE deletes a file this script is about to write; STALE names one that stays.
:fresh
if exist %1 del %1
if exist %1 set STALE=%1
goto :eof

rem :readback KEY writes the lines of KEY's export to CHECK, like install.cmd's.
:readback
call :fresh "%EXPORT%"
if exist "%EXPORT%" goto :eof
"%REGEDIT%" /e "%EXPORT%" "%1"
if exist "%EXPORT%" for /f "delims=" %%l in (%EXPORT%) do echo %%l>> "%CHECK%"
call :fresh "%EXPORT%"
goto :eof

rem :logonentry NAME reports NAME's logon entry when the read-back still holds it.
:logonentry
"%FIND%" """%1""=" < "%CHECK%" > nul
if not errorlevel 1 echo Still there: the logon entry "%1", in %RUN%.
if not errorlevel 1 set LEFT=1
goto :eof

:noping
echo Without TCP/IP (no %SYS%\ping.exe) this script cannot wait until it has
echo ended to delete its copy: delete the folder %TOOLS% yourself.
echo x| "%FIND%" "x" > nul
goto end

:unread
echo The registry could not be read back.
goto incomplete

:notremoved
echo The registry still holds the entries above.
goto incomplete

:stale
echo The file %STALE% is left from before and could not be deleted: delete it.
goto incomplete

:failed
echo.
echo Some files are still in use. Log off and on (the tools no longer start at
echo logon) and remove the tools again.
goto incomplete

:incomplete
rem The tools folder goes only if nothing is left in it (it held only this script's files).
rd "%TOOLS%" 2> nul
rd "%SYS%\drivers\orvel" 2> nul
echo The removal is not complete. Once that is mended, remove the tools again: what
echo is left stays listed in Add/Remove Programs.
"%FIND%" "x" < nul > nul
goto end

:norights
echo You need the rights to write %SYS% to remove the lumora display
echo tools: log on as a member of the Administrators group and run uninstall.cmd again.
"%FIND%" "x" < nul > nul
goto end

:notnt
echo The lumora display tools need Windows NT. Nothing was removed.
"%SystemRoot%\system32\find.exe" "x" < nul > nul
goto end

:end
