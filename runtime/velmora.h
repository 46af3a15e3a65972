// Velmora: everything a program written against the runtime includes,
// grouped by subsystem. Each header below is that subsystem's table of
// contents. Where a header also holds the runtime's own machinery, a
// "// ---- Program-facing" (or "Program-level") banner starts the part
// meant for programs; docs/api.md lists that part of every header
// (`make api-doc` writes it).
#pragma once

// ---- Runtime frame: start-up, the orderly end, the log, the clock --------
#include "frame/clock.h"            // MillisecondsNow, ElapsedMilliseconds, FrameDuration, SleepMilliseconds
#include "frame/error_log.h"        // AppendLogLine, ErrorLogPath
#include "frame/lifecycle.h"        // RuntimeMain, EndProgram, EndAndRun, CommandLine, ProgramFolder
#include "frame/startup_settings.h" // StartupSettings record
#include "frame/sub_registry.h"     // SubEntry, FindSub, CallSubByName
#include "frame/display.h"          // Display (OpenGLGlimmer), SetScreenSize, SetViewport2D, EnterFullScreen
#include "frame/frame_loop.h"       // ShowFrame, SetFrameRateLimit, SetEscapeQuits, WaitForInput, WaitForKey
#include "frame/window_procedure.h" // WindowMessage (the "VLM_WIN32_MSG" record), SetAutoPause
#include "frame/gl_extensions.h"    // HasGlExtension, GlFunctionAvailable, GlExtensions
#include "frame/file_requester.h"   // FileRequester (file dialog; "NO_FILE" when cancelled)

// ---- Values: strings, numbers, arrays, data lists, random numbers ----------
#include "values/dyn_string.h"  // DynString and the string operations
#include "values/dyn_array.h"   // NumberArray, IntegerArray, StringArray, ByteArray
#include "values/data_list.h"   // DataList, RestoreData, ReadDataText, ReadDataNumber, ReadDataInteger
#include "values/numeric.h"     // trigonometry in degrees, safe modulo, BoxesOverlap, TruncateToInteger
#include "values/number_text.h" // NumberToText, FormatNumber, character codes
#include "values/random.h"      // SeedRandom, RandomInt

// ---- 2D graphics: pictures, sprites and drawing ------------------------------
#include "gfx2d/sprites.h" // LoadSprite, DrawSprite..., FlushDrawing, FillRect, ReadPixel, polygons, fonts, backgrounds, GrabScreen, surfaces, SaveScreen

// ---- Input: keyboard, mouse, joysticks, typed text --------------------------
#include "input/input_devices.h" // KeyDown, ReadMouse, MouseAxis, SetMousePosition, ShowMousePointer, SelectMouse
#include "input/key_text.h"      // ReadKeyChar, CharForScanCode
#include "input/input_line.h"    // InputLine, InputLineInteger, InputLineNumber
#include "input/joysticks.h"     // JoystickX..Rz, JoystickHatX/Y, JoystickState, JoystickName, JoystickForce

// ---- Sound and music ----------------------------------------------------------
#include "audio/music.h"       // PlayMusic, StopMusic, RewindMusic, SetMusicVolume, MusicTick
#include "audio/movie.h"       // PlayMovie
#include "audio/sound_table.h" // LoadSound, PlaySound, SoundPlaying, StopSound, StopAllSounds, ReleaseSound

// ---- Files and platform services ---------------------------------------------
#include "files/error_state.h"         // LastErrorCode, SetErrorCode, RaiseRuntimeError, ErrorText
#include "files/file_channels.h"       // OpenFile, CloseFile, FreeFile, SeekFile, EndOfFile, typed reads and writes
#include "files/file_services.h"       // FileExists, FileSize, CopyFile, DeleteFile, MakeDirectory, WildcardMatch
#include "files/memory_files.h"        // MemoryFile ("mem://" names for blocks in memory), FindMemoryBlock
#include "files/media_name_resolver.h" // MediaNameResolver: disk and "mem://" names for every loader
#include "files/line_slots.h"          // WriteSlot, ReadSlot, ReadSlotNumber, ReadSlotInteger
#include "files/settings_table.h"      // LoadSettings, SettingsLookup, SetSetting
#include "files/platform_info.h"       // PlatformInfo, SetBuildStamp
#include "files/debug_services.h"      // DebugOutput, CallByName, Assertion, PrintOut, ReadConsoleLine
#include "files/web_download.h"        // WebDownload (HTTP/1.0)
#include "files/shell_open.h"          // ShellOpen (xdg-open, then the program ends)

// ---- Networking: TCP and UDP sockets by slot number ----------------------------
#include "net/sockets.h" // SocketInit, SocketListen/Accept/Connect/OpenUdp, SocketSend/Receive/Close, SocketResolve, SocketErrorText

// ---- Path finding --------------------------------------------------------------
#include "pathfinding/grid_path.h" // FindGridPath, FindDiagonalGridPath
