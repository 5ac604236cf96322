@echo off
rem Gathers a runnable Lumora folder on Windows: "cmake --install" lays out lumora.exe with its
rem first-run defaults and translations, then windeployqt adds the Qt libraries, plugins and the
rem QML modules the views import.
rem Usage (from a Qt command prompt, in the source folder, after building):
rem     scripts\deploy-windows.bat [build folder] [target folder]
rem Defaults: build and deploy\Lumora. Run the result as deploy\Lumora\lumora.exe.
setlocal

set "BUILD=%~1"
if "%BUILD%"=="" set "BUILD=build"
set "TARGET=%~2"
if "%TARGET%"=="" set "TARGET=deploy\Lumora"
set "SOURCE=%~dp0.."

where windeployqt >nul 2>nul
if errorlevel 1 (
    echo deploy-windows: windeployqt is not on PATH; open a Qt command prompt first. 1>&2
    exit /b 1
)
if not exist "%BUILD%\bin\lumora.exe" (
    echo deploy-windows: %BUILD%\bin\lumora.exe is missing; build first. 1>&2
    exit /b 1
)

set "STAGE=%TARGET%.stage"
if exist "%STAGE%" rmdir /s /q "%STAGE%"
cmake --install "%BUILD%" --prefix "%STAGE%" || exit /b 1
if exist "%TARGET%" rmdir /s /q "%TARGET%"
move "%STAGE%\bin" "%TARGET%" >nul || exit /b 1
rmdir /s /q "%STAGE%"

windeployqt --qmldir "%SOURCE%\src\qml" --no-translations --no-system-d3d-compiler ^
    --no-opengl-sw "%TARGET%\lumora.exe" || exit /b 1

echo deploy-windows: Lumora is ready in %TARGET%
endlocal
