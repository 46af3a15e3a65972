// "ErrorLog.txt" in the user's temporary folder: restarted at every start,
// one line appended per call.
#pragma once

#include <string>
#include <string_view>

namespace vlm {

// $TMPDIR when set, else /tmp, ending in '/'.
std::string TemporaryFolder();
std::string ErrorLogPath();
// Deletes the log so that this run starts a fresh one.
void RestartErrorLog();
// Appends text and "\r\n"; up to five open attempts, then the line is dropped.
void AppendLogLine(std::string_view text);

} // namespace vlm
