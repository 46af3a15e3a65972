// Velmora: everything a program written against the runtime includes,
// grouped by subsystem. Each header below is that subsystem's table of
// contents.
#pragma once

// ---- Runtime frame: start-up, the orderly end, the log, the clock --------
#include "frame/clock.h"            // MillisecondsNow, ElapsedMilliseconds, FrameDuration, SleepMilliseconds
#include "frame/error_log.h"        // AppendLogLine, ErrorLogPath
#include "frame/lifecycle.h"        // RuntimeMain, EndProgram, EndAndRun, CommandLine, ProgramFolder
#include "frame/startup_settings.h" // StartupSettings record
#include "frame/sub_registry.h"     // SubEntry, FindSub, CallSubByName

// ---- Values: strings, numbers, arrays, data lists, random numbers ----------
#include "values/dyn_string.h"  // DynString and the string operations
#include "values/dyn_array.h"   // NumberArray, IntegerArray, StringArray, ByteArray
#include "values/data_list.h"   // DataList, RestoreData, ReadDataText, ReadDataNumber, ReadDataInteger
#include "values/numeric.h"     // trigonometry in degrees, safe modulo, BoxesOverlap, TruncateToInteger
#include "values/number_text.h" // NumberToText, FormatNumber, character codes
#include "values/random.h"      // SeedRandom, RandomInt


// ---- Files and platform services ---------------------------------------------
#include "files/error_state.h"         // LastErrorCode, SetErrorCode, RaiseRuntimeError, ErrorText
