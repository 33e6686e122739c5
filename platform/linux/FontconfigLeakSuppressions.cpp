// fontconfig keeps its configuration and caches for the life of the process by design; the
// leak checker of the sanitizer builds is told so.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
