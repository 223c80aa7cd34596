// Fontconfig (loaded by Qt's font database and poppler) keeps a few allocations for the life
// of the process; the leak checker of the sanitizer build is told to ignore them. Our own
// allocations are still checked.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
