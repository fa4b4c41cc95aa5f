// fontconfig keeps its font cache for the life of the process and never frees it; the leak
// checker of the sanitizer build would otherwise report it after every test that renders.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
