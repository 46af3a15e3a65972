// Leaks inside system libraries, not ours, for the leak checker of
// sanitizer builds: the D-Bus connection that the video layer opens lives
// until the process ends. Linked into programs that open a window.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
