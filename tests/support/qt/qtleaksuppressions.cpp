// LeakSanitizer reads its suppressions from this hook when the tests run
// under it. The system's D-Bus library, which Qt loads, keeps about 1 KiB it
// never frees at exit; nothing of the program's own is suppressed.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}
